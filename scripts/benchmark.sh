#!/usr/bin/env bash
# Builds the benchmarks and prints processBlock's real-time factor (audio seconds per CPU second)
# for the constructed defaults and the worst case, at 44.1 and 48 kHz, blocks of 32 to 2048.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh --bench

build=build-bench
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DTW_BUILD_BENCHMARKS=ON -DTW_BUILD_PLUGIN_FORMATS=OFF > /dev/null
cmake --build "$build" -j"$(nproc)" --target tw_benchmarks

"$build/benchmarks/tw_benchmarks" --benchmark_counters_tabular=true "$@"
