#!/usr/bin/env bash
# Runs the tests under sanitizers (clang builds in which JUCE is instrumented too):
#   address  every test with AddressSanitizer, UndefinedBehaviorSanitizer and LeakSanitizer
#            (build-asan, which also carries the fuzz targets)
#   thread   the concurrency stress test under ThreadSanitizer (build-tsan); TW_STRESS_SECONDS
#            sets its length (default 20)
# Any report fails the run. Needs what scripts/setup.sh --tests installs.
# Usage: scripts/sanitize.sh address|thread
set -euo pipefail
cd "$(dirname "$0")/.."

suppressions="$PWD/tests/sanitizers"
xvfb=(xvfb-run -a --server-args="-screen 0 1280x1024x24")

case "${1:-}" in
    address)
        build=build-asan
        # Test discovery runs the binaries during the build, so the options apply from here on.
        export ASAN_OPTIONS="abort_on_error=1:detect_leaks=1:detect_stack_use_after_return=1:check_initialization_order=1:strict_init_order=1"
        export LSAN_OPTIONS="suppressions=$suppressions/lsan.supp:print_suppressions=0"
        export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
        bash scripts/configure-sanitized.sh "$build" address
        cmake --build "$build" -j"$(nproc)"
        cd "$build"
        "${xvfb[@]}" ctest --output-on-failure -j"$(nproc)"
        ;;
    thread)
        build=build-tsan
        export TSAN_OPTIONS="halt_on_error=1:second_deadlock_stack=1:suppressions=$suppressions/tsan.supp"
        bash scripts/configure-sanitized.sh "$build" thread
        cmake --build "$build" -j"$(nproc)" --target tw_stress_tests
        TW_STRESS_SECONDS="${TW_STRESS_SECONDS:-20}" "${xvfb[@]}" "$build/tests/tw_stress_tests"
        ;;
    *)
        echo "usage: scripts/sanitize.sh address|thread" >&2
        exit 2
        ;;
esac
