#!/usr/bin/env bash
# Configures and builds into DIR (default build/) with extra CMake arguments.
# Warnings are errors (-DOD_WERROR=ON) unless the arguments say otherwise.
#   scripts/build.sh [DIR] [-DOPTION=VALUE ...]
set -euo pipefail
cd "$(dirname "$0")/.."
dir="${1:-build}"
shift || true
cmake -S . -B "$dir" -G Ninja -DOD_WERROR=ON "$@" > "$dir.configure.log" 2>&1 || { cat "$dir.configure.log"; exit 1; }
ninja -C "$dir" -j"$(nproc)"
