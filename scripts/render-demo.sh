#!/usr/bin/env bash
# Renders the built-in demo through the "Default" preset to out/tanglewave-demo.wav, building
# tanglewave-render first when needed. Usage: scripts/render-demo.sh [build folder, default "build"]
# (needs what scripts/setup.sh installs).
set -euo pipefail
cd "$(dirname "$0")/.."

build="${1:-build}"
if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release
fi
# Reconfiguring keeps the folder's options and picks up targets added since it was configured.
cmake -S . -B "$build" >/dev/null
cmake --build "$build" -j"$(nproc)" --target tw_render

mkdir -p out
demo="$PWD/out/tanglewave-demo.wav"
"$build/tools/render/tanglewave-render" "$demo" --preset Default
echo "Demo rendered to $demo"
