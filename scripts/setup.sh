#!/usr/bin/env bash
# Installs what the build needs and is missing: Debian packages and the npm font packages.
# Safe to run again: it installs nothing that is already there.
# Usage: scripts/setup.sh [--tests] [--bench]
#   --tests  also what the test command needs: a real host (Ardour) and the LV2 validators
#   --bench  also valgrind, which counts the benchmark's instructions, and python3
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(
    build-essential cmake pkg-config git ccache clang-format
    juce-modules-source
    googletest libgtest-dev libbenchmark-dev
    xvfb xauth
    clang libclang-rt-14-dev
)
for arg in "$@"; do
    case "$arg" in
        --tests) packages+=(ardour lv2-dev sordi lilv-utils python3) ;;
        --bench) packages+=(valgrind python3) ;;
        *) echo "setup.sh: unknown option $arg" >&2; exit 2 ;;
    esac
done

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done
# Node.js may come from elsewhere than Debian (its own npm included); only a missing one is installed.
if ! command -v npm >/dev/null 2>&1; then
    missing+=(nodejs npm)
fi

if ((${#missing[@]})); then
    echo "Installing: ${missing[*]}"
    sudo_cmd=()
    if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi
    "${sudo_cmd[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

fonts=(node_modules/@expo-google-fonts/courier-prime/700Bold/CourierPrime_700Bold.ttf
       node_modules/@expo-google-fonts/source-code-pro/700Bold/SourceCodePro_700Bold.ttf)
for f in "${fonts[@]}"; do
    if [ ! -f "$f" ]; then
        npm ci --no-audit --no-fund --loglevel=error
        break
    fi
done
