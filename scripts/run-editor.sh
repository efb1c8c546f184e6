#!/usr/bin/env bash
# One command from a fresh Debian 12 machine to the running editor:
# installs the packages, builds, and starts vexa-editor (extra arguments are passed on).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh"
exec "${VEXA_BUILD_DIR:-$root/build}/bin/vexa-editor" "$@"
