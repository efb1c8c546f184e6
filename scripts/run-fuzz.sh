#!/usr/bin/env bash
# Runs every fuzz program of a sanitizer build for a bounded time (FUZZ_SECONDS, default 30)
# from its seeds in tests/data/fuzz/<target>. A crash input is copied into that folder, where
# the replay tests of every build run it from then on, and the script fails.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build-sanitize}
seconds=${FUZZ_SECONDS:-30}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=0:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
export QT_QPA_PLATFORM=offscreen
status=0
for program in "$build"/fuzz/fuzz_*; do
  name=$(basename "$program")
  seeds="$root/tests/data/fuzz/$name"
  corpus="$work/$name"
  mkdir -p "$corpus" "$work/$name-crashes"
  [ -d "$seeds" ] && cp -r "$seeds"/. "$corpus"/
  echo "fuzz: $name for ${seconds}s"
  if ! "$program" -max_total_time="$seconds" -max_len=65536 -timeout=10 -rss_limit_mb=2048 \
      -artifact_prefix="$work/$name-crashes/" -print_final_stats=0 "$corpus" >"$work/$name.log" 2>&1; then
    tail -n 40 "$work/$name.log"
    mkdir -p "$seeds"
    for crash in "$work/$name-crashes"/*; do
      [ -f "$crash" ] && cp "$crash" "$seeds/" && echo "fuzz: kept $(basename "$crash") in tests/data/fuzz/$name"
    done
    status=1
  else
    grep -E '^(Done|#[0-9]+ +DONE)' "$work/$name.log" | tail -n 1 || true
  fi
done
exit $status
