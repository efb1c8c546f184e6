#!/usr/bin/env bash
# Every generated manual page renders without roff warnings and names every verb of vexa.
set -euo pipefail
man1=$1
vexa=$2
fail=0
for page in vexa vexa-editor vexa-sim; do
    out=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$man1/$page.1.gz" 2>&1 >/dev/null || true)
    if [ -n "$out" ]; then echo "FAIL: $page: $out" >&2; fail=1; fi
done
text=$(LC_ALL=C.UTF-8 MANWIDTH=200 man -l "$man1/vexa.1.gz" 2>/dev/null)
for verb in $("$vexa" --help | awk '/^Commands:/{on=1; next} on && /^  [a-z]/{print $1}'); do
    grep -q -- "Usage: vexa $verb" <<<"$text" || { echo "FAIL: vexa.1 lacks the help of $verb" >&2; fail=1; }
done
[ $fail -eq 0 ] && echo "manpages: 1 passed, 0 failed"
exit $fail
