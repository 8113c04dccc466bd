#!/usr/bin/env bash
# Renders the built-in demo through the "Default" preset to out/tanglewave-demo.wav, building
# tanglewave-render first when needed. Usage: scripts/render-demo.sh [build folder, default "build"]
# (needs what scripts/setup.sh installs).
set -euo pipefail
cd "$(dirname "$0")/.."

build="${1:-build}"
bash scripts/build-target.sh "$build" tw_render

mkdir -p out
demo="$PWD/out/tanglewave-demo.wav"
"$build/tools/render/tanglewave-render" "$demo" --preset Default
echo "Demo rendered to $demo"
