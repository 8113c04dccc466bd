#!/usr/bin/env bash
# Builds the libFuzzer targets with clang, AddressSanitizer and UndefinedBehaviorSanitizer and runs
# each for a bounded time.
# FUZZ_SECONDS sets the time per target (default 30). Crash inputs are left in build-asan/crashes/:
# copy them into fuzz/regressions/<target>/ so the regular tests replay them.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds="${FUZZ_SECONDS:-30}"
# The AddressSanitizer build of the tests also carries the fuzz targets.
build=build-asan
bash scripts/configure-sanitized.sh "$build" address
cmake --build "$build" -j"$(nproc)" --target tw_fuzz_set_state tw_fuzz_load_state tw_fuzz_seeds

corpus="$build/corpus"
mkdir -p "$corpus/set_state" "$corpus/load_state" "$build/crashes"
"$build/fuzz/tw_fuzz_seeds" "$corpus/set_state" "$corpus/load_state"

export ASAN_OPTIONS="detect_leaks=0:abort_on_error=1"
# That build links the sanitizer runtime as a shared library; libFuzzer puts its own C++ library
# ahead of it in the targets' load order, so the runtime is preloaded to come first.
runtime=$(clang -print-file-name=libclang_rt.asan-x86_64.so)
export UBSAN_OPTIONS="print_stacktrace=1"
# The targets run side by side (each uses one core); each one's summary is printed when both end.
pids=()
for target in set_state load_state; do
    echo "Fuzzing $target for ${seconds}s"
    mkdir -p "fuzz/regressions/$target"
    LD_PRELOAD="$runtime" "$build/fuzz/tw_fuzz_$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=4096 \
        -artifact_prefix="$build/crashes/${target}-" -print_final_stats=1 \
        "$corpus/$target" "fuzz/corpus/$target" "fuzz/regressions/$target" > "$build/fuzz-$target.log" 2>&1 &
    pids+=($!)
done
status=0
for i in "${!pids[@]}"; do
    wait "${pids[$i]}" || status=1
done
for target in set_state load_state; do
    echo "--- $target"
    tail -n "$((status == 0 ? 12 : 80))" "$build/fuzz-$target.log"
done
exit $status
