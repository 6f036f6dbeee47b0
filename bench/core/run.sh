#!/usr/bin/env bash
# Runs the core benchmarks of a release build tree ($1).
set -euo pipefail
build_dir=${1:?release build directory}
"$build_dir/bench/core/kivo_bench_playlist"
