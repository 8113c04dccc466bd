#!/usr/bin/env bash
# Main job: set up, build the plug-ins, install them for the current user, then render the
# built-in demo signal through the "Default" preset.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh

build=build
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DTW_BUILD_TESTS=OFF
cmake --build "$build" -j"$(nproc)" --target Tanglewave_VST3 Tanglewave_LV2 Tanglewave_Standalone tw_render

artefacts="$build/Tanglewave_artefacts/Release"
mkdir -p "$HOME/.vst3" "$HOME/.lv2" "$HOME/.local/bin"
rm -rf "$HOME/.vst3/Tanglewave_v1-0.vst3" "$HOME/.lv2/Tanglewave_v1-0.lv2"
cp -R "$artefacts/VST3/Tanglewave_v1-0.vst3" "$HOME/.vst3/"
cp -R "$artefacts/LV2/Tanglewave_v1-0.lv2" "$HOME/.lv2/"
install -m 755 "$artefacts/Standalone/Tanglewave_v1-0" "$HOME/.local/bin/Tanglewave_v1-0"

echo "Installed:"
echo "  VST3       $HOME/.vst3/Tanglewave_v1-0.vst3"
echo "  LV2        $HOME/.lv2/Tanglewave_v1-0.lv2"
echo "  Standalone $HOME/.local/bin/Tanglewave_v1-0"

bash scripts/render-demo.sh "$build"
