#!/usr/bin/env bash
# Paints the real editor with the "Default" preset loaded into docs/screenshot.png (at twice the
# window's 488 x 340 pixels), building tanglewave-screenshot first when needed.
# Usage: scripts/screenshot.sh [build folder, default "build"] (needs what scripts/setup.sh installs).
set -euo pipefail
cd "$(dirname "$0")/.."

build="${1:-build}"
bash scripts/build-target.sh "$build" tw_screenshot

tool="$build/tools/screenshot/tanglewave-screenshot"
output="docs/screenshot.png"
mkdir -p docs

# The editor is painted off screen; a virtual display is only a fallback for systems where JUCE
# insists on one.
if ! "$tool" "$output" --scale 2; then
    if command -v xvfb-run >/dev/null; then
        xvfb-run -a "$tool" "$output" --scale 2
    else
        exit 1
    fi
fi
