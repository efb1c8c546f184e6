#!/usr/bin/env bash
# Runs tst_atspi.py on its own X display and session bus, where the accessibility bus
# starts on demand. Skips (status 77) only where AT-SPI cannot start at all.
set -u
editor=$1
here=$(cd "$(dirname "$0")" && pwd)
skip() {
    echo "SKIP: $*"
    exit 77
}
[ -x "$editor" ] || skip "the editor $editor is not built"
command -v xvfb-run >/dev/null || skip "xvfb-run is not installed (package xvfb)"
command -v dbus-run-session >/dev/null || skip "dbus-run-session is not installed (package dbus)"
[ -x /usr/libexec/at-spi-bus-launcher ] || skip "the accessibility bus is not installed (package at-spi2-core)"
command -v xdotool >/dev/null || skip "xdotool is not installed (package xdotool)"
/usr/bin/python3 -c 'import gi; gi.require_version("Atspi", "2.0"); from gi.repository import Atspi' 2>/dev/null ||
    skip "the AT-SPI Python bindings are not installed (package python3-pyatspi)"
exec xvfb-run -a -s "-screen 0 1600x1200x24" dbus-run-session -- /usr/bin/python3 "$here/tst_atspi.py" "$editor"
