#!/usr/bin/env bash
# Drives the generated bash completion of vexa as bash does: verbs, options, models, ports.
set -euo pipefail
source "$1"

complete_line() {
    COMP_WORDS=("$@")
    COMP_CWORD=$(($# - 1))
    COMPREPLY=()
    _vexa
    printf '%s\n' "${COMPREPLY[@]}" | sort | tr '\n' ' ' | sed 's/ $//'
}

fail=0
expect() {
    local want=$1; shift
    local got
    got=$(complete_line "$@")
    if [ "$got" != "$want" ]; then
        echo "FAIL: '$*' completed to '$got', expected '$want'" >&2
        fail=1
    fi
}

expect "send set set-id" vexa se
expect "P20 P21 P22 P23 P24 P25 P26 P27 P28 P29" vexa send demo.led --model P2
expect "scan" vexa --data-dir /tmp sc
got=$(complete_line vexa send --p)
[[ $got == *--port* ]] || { echo "FAIL: send options lack --port: $got" >&2; fail=1; }
got=$(complete_line vexa send --port tc)
[ "$got" = "tcp://" ] || { echo "FAIL: port names: $got" >&2; fail=1; }
[ $fail -eq 0 ] && echo "completion: 5 passed, 0 failed"
exit $fail
