#!/usr/bin/env bash
# Builds the benchmarks and prints, for the factory "Default" preset and the worst case at 48 kHz
# stereo, blocks of 512 and 32: processBlock's real-time factor (seconds of audio per CPU second,
# from Google Benchmark) and its instructions per stereo frame (counted by callgrind, which is
# stable on a busy machine where timings are not).
#   bash scripts/bench.sh            the table
#   bash scripts/bench.sh --all      also Google Benchmark's own table for every rate and block size
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh --bench

build=build-bench
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DTW_BUILD_BENCHMARKS=ON -DTW_BUILD_PLUGIN_FORMATS=OFF > /dev/null
cmake --build "$build" -j"$(nproc)" --target tw_benchmarks tw_instruction_count

rate=48000
blocks=(512 32)
cases=(default_preset worst_case)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

if [[ "${1:-}" == "--all" ]]; then
    "$build/benchmarks/tw_benchmarks" --benchmark_counters_tabular=true
fi

"$build/benchmarks/tw_benchmarks" --benchmark_filter="rate:${rate}/block:(512|32)\$" \
    --benchmark_format=json --benchmark_min_time=1 > "$work/timing.json"

printf '%-16s %6s %16s %26s\n' case block realtime_factor instructions_per_frame
for c in "${cases[@]}"; do
    for b in "${blocks[@]}"; do
        out="$work/callgrind.$c.$b"
        frames=$(valgrind --tool=callgrind --instr-atstart=no --collect-atstart=no --callgrind-out-file="$out" \
            "$build/benchmarks/tw_instruction_count" "$c" "$rate" "$b" 2> /dev/null | awk '/^frames/ { print $2 }')
        instructions=$(awk '/^totals:/ { print $2; exit }' "$out")
        factor=$(python3 - "$work/timing.json" "processBlockBenchmark/$c/rate:$rate/block:$b" <<'PY'
import json, sys
runs = json.load(open(sys.argv[1]))["benchmarks"]
print(next(("%.1f" % r["realtime_factor"] for r in runs if r["name"] == sys.argv[2]), "n/a"))
PY
        )
        printf '%-16s %6s %16s %26.1f\n' "$c" "$b" "$factor" "$(awk -v i="$instructions" -v f="$frames" 'BEGIN { print i / f }')"
    done
done
