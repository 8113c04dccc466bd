#!/usr/bin/env bash
# Set up, build the plug-ins, tools and every test, fuzz the state and preset readers for a
# bounded time, then run all tests through CTest (headless X for the GUI tests).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh --tests

build=build-tests
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DTW_BUILD_TESTS=ON
cmake --build "$build" -j"$(nproc)"

FUZZ_SECONDS="${FUZZ_SECONDS:-30}" bash scripts/fuzz.sh

cd "$build"
xvfb-run -a --server-args="-screen 0 1280x1024x24" ctest --output-on-failure -j"$(nproc)"
