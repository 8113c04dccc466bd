#!/usr/bin/env bash
# Builds one target in a build folder, configuring the folder first when it is new.
# Usage: scripts/build-target.sh BUILD_FOLDER TARGET [extra cmake options for a new folder]
set -euo pipefail
cd "$(dirname "$0")/.."

build="$1"
target="$2"
shift 2
if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release "$@"
fi
# Reconfiguring keeps the folder's options and picks up targets added since it was configured.
cmake -S . -B "$build" >/dev/null
cmake --build "$build" -j"$(nproc)" --target "$target"
