#!/usr/bin/env bash
# Fails when a C++ file of the project differs from what the committed .clang-format makes
# of it. With --fix, formats them instead.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
mapfile -t files < <(git ls-files -- '*.cpp' '*.h')
if [ "${1:-}" = "--fix" ]; then
    clang-format -i "${files[@]}"
    exit 0
fi
if ! clang-format --dry-run --Werror "${files[@]}" 2>/tmp/vexa-format.$$; then
    grep -m 20 'error:' /tmp/vexa-format.$$ >&2 || true
    rm -f /tmp/vexa-format.$$
    echo "check-format: files differ from .clang-format (scripts/check-format.sh --fix formats them)" >&2
    exit 1
fi
rm -f /tmp/vexa-format.$$
echo "check-format: ${#files[@]} files follow .clang-format"
