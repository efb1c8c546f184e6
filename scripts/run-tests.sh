#!/usr/bin/env bash
# One command from a fresh Debian 12 machine to every test: installs the packages,
# builds (warnings are errors) and runs the whole suite through CTest, headless.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
python3 "$root/scripts/check-layering.py" "$root"
"$root/scripts/check-format.sh"
"$root/scripts/build.sh"
cd "${VEXA_BUILD_DIR:-$root/build}"
export QT_QPA_PLATFORM=offscreen
export XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-$(mktemp -d)}
ctest --output-on-failure -j"$(nproc)" --timeout 300
"$root/scripts/check-package.sh"

# The same suite again under AddressSanitizer + UndefinedBehaviorSanitizer (its own build
# folder, the "sanitize" preset), then a bounded run of every fuzz program of that build.
# VEXA_SKIP_SANITIZE=1 leaves both out (a quick local run).
if [ "${VEXA_SKIP_SANITIZE:-0}" != 1 ]; then
  cd "$root"
  cmake --preset sanitize >/dev/null
  cmake --build --preset sanitize -j"$(nproc)"
  ctest --preset sanitize -j"$(nproc)"
  "$root/scripts/run-fuzz.sh" "$root/build-sanitize"
fi
