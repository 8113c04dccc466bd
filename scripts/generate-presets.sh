#!/usr/bin/env bash
# Rebuilds the factory presets from tools/presetgen/factory_presets.csv: builds tw_presetgen, writes
# Resources/FactoryPresets/*.tw10 and Source/FactoryLibrary.cpp, then re-runs CMake so the resource
# list picks up added or removed preset files. Usage: scripts/generate-presets.sh [build folder]
set -euo pipefail
cd "$(dirname "$0")/.."

build="${1:-build-presetgen}"
bash scripts/build-target.sh "$build" tw_presetgen -DTW_BUILD_PLUGIN_FORMATS=OFF
"$build/tools/presetgen/tw_presetgen" "$PWD"
cmake "$build" > /dev/null
