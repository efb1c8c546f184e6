#!/usr/bin/env bash
# Configures and builds the project into build/ (or $VEXA_BUILD_DIR) with warnings as errors.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${VEXA_BUILD_DIR:-$root/build}
launcher=()
# A compiler cache, when present, keyed by paths relative to the checkout.
if command -v ccache >/dev/null 2>&1; then
    export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$root}
    launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVEXA_WERROR=ON "${launcher[@]}" >/dev/null
cmake --build "$build" -j"$(nproc)"
