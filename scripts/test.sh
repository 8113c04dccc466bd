#!/usr/bin/env bash
# Set up, then prove the plug-in three ways:
#   1. the plain Release build: every test through CTest (headless X for the GUI tests), including
#      the LV2 validators and the Ardour session round trips of the built bundles;
#   2. the same tests built with AddressSanitizer + UndefinedBehaviorSanitizer (+ LeakSanitizer),
#      and the fuzz targets of that build run for a bounded time;
#   3. the concurrency stress test built with ThreadSanitizer.
# Any failure or sanitizer report fails the run; nothing is skipped.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh --tests

build=build-tests
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DTW_BUILD_TESTS=ON
cmake --build "$build" -j"$(nproc)"
(cd "$build" && xvfb-run -a --server-args="-screen 0 1280x1024x24" ctest --output-on-failure -j"$(nproc)")

bash scripts/sanitize.sh address
FUZZ_SECONDS="${FUZZ_SECONDS:-30}" bash scripts/fuzz.sh
bash scripts/sanitize.sh thread
