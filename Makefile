# The two commands of a newcomer: `make run` and `make test`.
SHELL := /bin/bash
JOBS ?= $(shell nproc)
TEST_DIR := build/test
RUN_DIR := build/run
BENCH_DIR := build/bench
FUZZ_DIR := build/fuzz
TSAN_DIR := build/tsan
PACKAGE_DIR := build/package
# Which benchmark areas `make bench` runs (core engine desktop); empty: all.
BENCH_AREAS ?=

.PHONY: deps run test soak build-run build-test bench fuzz tsan install package format clean

deps:
	@scripts/install-deps

$(RUN_DIR)/build.ninja: | deps
	cmake -S . -B $(RUN_DIR) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKIVO_TESTS=OFF

$(TEST_DIR)/build.ninja: | deps
	cmake -S . -B $(TEST_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKIVO_SANITIZE=ON

build-run: deps $(RUN_DIR)/build.ninja
	cmake --build $(RUN_DIR) -j $(JOBS)

build-test: deps $(TEST_DIR)/build.ninja
	cmake --build $(TEST_DIR) -j $(JOBS)

run: build-run
	@scripts/run-player $(RUN_DIR)/kivo-player

test: build-test
	@scripts/run-tests $(TEST_DIR)

# Every test that runs real threads: the engine (files, playback, radio,
# plug-ins, the player on the engine), the Qt event loop, the instance link,
# the libcurl client and download, Last.fm over loopback, and the autosave
# writer.
TSAN_TARGETS := kivo_engine_tests kivo_engine_plugin_tests kivo_player_engine_tests \
	kivo_desktop_tests integrations_http_test integrations_lastfm_test kivo_unit_tests
TSAN_THREADED := ^(EventLoopTest|InstanceLinkTest|DownloadTest|DesktopServicesTest|CurlHttpClientTest|LastFmLoopbackTest|AutosaveWriterTest)\.

# The player killed at random moments during writes, many more rounds than in
# make test (SOAK_ROUNDS to change).
soak: build-test
	@set -o pipefail; KIVO_CRASH_ROUNDS=$${SOAK_ROUNDS:-1000} scripts/run-tests \
		$(TEST_DIR) -R '^e2e\.crash' --timeout 7200 -V | \
		grep -E 'rounds in|passed|FAILED|Timeout'

tsan: deps
	cmake -S . -B $(TSAN_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKIVO_TSAN=ON
	cmake --build $(TSAN_DIR) -j $(JOBS) --target $(TSAN_TARGETS)
	@scripts/run-tests $(TSAN_DIR) -L engine
	@scripts/run-tests $(TSAN_DIR) -R '$(TSAN_THREADED)'

bench: deps
	cmake -S . -B $(BENCH_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Release -DKIVO_TESTS=OFF -DKIVO_BENCH=ON
	cmake --build $(BENCH_DIR) -j $(JOBS)
	@scripts/run-benchmarks $(BENCH_DIR) $(BENCH_AREAS)

fuzz: deps
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_DIR) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKIVO_TESTS=OFF -DKIVO_FUZZ=ON
	cmake --build $(FUZZ_DIR) --target fuzzers -j $(JOBS)
	@scripts/run-fuzzers $(FUZZ_DIR) $${FUZZ_SECONDS:-600} $(FUZZ_TARGETS)

install: build-run
	cmake --install $(RUN_DIR) --prefix $${PREFIX:-/usr/local}

# A Debian package of a release build: build/package/kivo-player_*.deb
package: deps
	cmake -S . -B $(PACKAGE_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Release -DKIVO_TESTS=OFF -DCMAKE_INSTALL_PREFIX=/usr
	cmake --build $(PACKAGE_DIR) -j $(JOBS)
	cd $(PACKAGE_DIR) && cpack -G DEB

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf build
