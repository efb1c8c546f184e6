#!/usr/bin/env bash
# Configures and builds the project into build/ (or $VEXA_BUILD_DIR) with warnings as errors.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${VEXA_BUILD_DIR:-$root/build}
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVEXA_WERROR=ON >/dev/null
cmake --build "$build" -j"$(nproc)"
