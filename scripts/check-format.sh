#!/usr/bin/env bash
# Fails when a C++ file of the project differs from what the project's .clang-format makes of it.
set -euo pipefail
cd "$(dirname "$0")/.."
git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run --Werror
