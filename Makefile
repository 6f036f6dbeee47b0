# The two commands of a newcomer: `make run` and `make test`.
SHELL := /bin/bash
JOBS ?= $(shell nproc)
TEST_DIR := build/test
RUN_DIR := build/run
BENCH_DIR := build/bench
FUZZ_DIR := build/fuzz
TSAN_DIR := build/tsan
# Which benchmark areas `make bench` runs (core engine desktop); empty: all.
BENCH_AREAS ?=

.PHONY: deps run test build-run build-test bench fuzz tsan install format clean

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

tsan: deps
	cmake -S . -B $(TSAN_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKIVO_TSAN=ON
	cmake --build $(TSAN_DIR) -j $(JOBS)
	cd $(TSAN_DIR) && ctest -L engine --output-on-failure

bench: deps
	cmake -S . -B $(BENCH_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Release -DKIVO_TESTS=OFF -DKIVO_BENCH=ON
	cmake --build $(BENCH_DIR) -j $(JOBS)
	@scripts/run-benchmarks $(BENCH_DIR) $(BENCH_AREAS)

fuzz: deps
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_DIR) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKIVO_TESTS=OFF -DKIVO_FUZZ=ON
	cmake --build $(FUZZ_DIR) --target fuzzers -j $(JOBS)
	@scripts/run-fuzzers $(FUZZ_DIR) $${FUZZ_SECONDS:-60}

install: build-run
	cmake --install $(RUN_DIR) --prefix $${PREFIX:-/usr/local}

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf build
