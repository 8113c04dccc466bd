#!/usr/bin/env bash
# Configures a clang build folder whose every target (JUCE included) carries sanitizers.
# Usage: scripts/configure-sanitized.sh <build folder> address|thread
#   address: AddressSanitizer + UndefinedBehaviorSanitizer, with libFuzzer's coverage
#            instrumentation so that the same build serves the fuzz targets and the tests
#   thread:  ThreadSanitizer
set -euo pipefail
cd "$(dirname "$0")/.."

build="$1"
kind="$2"
case "$kind" in
    address)
        compile="-fsanitize=address,undefined,fuzzer-no-link -fno-sanitize-recover=undefined"
        # The plug-in bundles are shared modules that a test binary loads: everything links the
        # runtime as a shared library, so that process and bundle share one.
        runtime=$(clang -print-file-name=libclang_rt.asan-x86_64.so)
        link="-fsanitize=address,undefined -shared-libasan -Wl,-rpath,$(dirname "$runtime")"
        # clang leaves the runtime out of shared objects, which JUCE links with --no-undefined.
        module_link="$link -Wl,--no-as-needed $runtime" ;;
    thread)
        compile="-fsanitize=thread"
        link="-fsanitize=thread"
        module_link="$link" ;;
    *) echo "configure-sanitized.sh: unknown kind $kind" >&2; exit 2 ;;
esac
# The older spelling of -fsanitize-ignorelist: ccache hashes that file's content only under this name.
compile="$compile -fno-omit-frame-pointer -fsanitize-blacklist=$PWD/tests/sanitizers/ignorelist.txt"
# -O1 with line tables: readable reports, and a much shorter build than -O2 -g.
optimise="-O1 -gline-tables-only -DNDEBUG"

mkdir -p "$build"
CC=clang CXX=clang++ cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DTW_SANITIZERS="$kind" -DTW_BUILD_TESTS=ON -DTW_BUILD_FUZZERS=$([ "$kind" = address ] && echo ON || echo OFF) \
    -DCMAKE_C_FLAGS="$compile" -DCMAKE_CXX_FLAGS="$compile" \
    -DCMAKE_C_FLAGS_RELWITHDEBINFO="$optimise" -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="$optimise" \
    -DCMAKE_EXE_LINKER_FLAGS="$link" -DCMAKE_SHARED_LINKER_FLAGS="$module_link" -DCMAKE_MODULE_LINKER_FLAGS="$module_link" \
    > "$build/configure.log"
