#!/usr/bin/env bash
# The desktop comparison: kivo-player against Audacious and qmmp playing the
# same MP3 with their windows shown on a private Xvfb (and `audacious -H`), the
# start-up with a large remembered playlist, and the start to first audio
# against mpv. Figures are medians of rounds, goals ratios against a peer.
# Usage: bench/desktop/run.sh BUILD_DIR   (a release build with KIVO_BENCH=ON)
# Quick run: BENCH_SECONDS=15 BENCH_ROUNDS=1 BENCH_ENTRIES=20000 bench/desktop/run.sh build/bench
set -euo pipefail
build=$(cd "${1:?release build directory}" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
"$here/../../scripts/install-bench-peers"
export PYTHONDONTWRITEBYTECODE=1
# The measures are checked first: figures from a broken harness mislead.
python3 "$here/harness_test.py" "$build"
exec python3 "$here/desktop_bench.py" "$build"
