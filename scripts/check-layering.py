#!/usr/bin/env python3
"""Fails when a file under src/ includes a floor above its own, or when a file outside a
ui/ folder or src/editors includes a Qt Widgets header.

Floors, from the ground up: core, store, render, link, app, with playback beside store:
it reads core alone, and render and everything above may read it. A file may include its own
floor and the floors below it. Widget folders sit on top: src/ui (the shared widget floor)
reads core, store and render; <floor>/ui reads its floor, the floors below, src/ui and the
widget folders of lower floors; src/editors reads everything up to app plus src/ui and
render/ui; app/ui reads every library. The command line and the simulator are GUI-free
programs on top of app."""

import glob
import os
import re
import sys

FLOORS = ["core", "playback", "store", "render", "link", "app"]

ALLOWED = {
    "core": {"core"},
    "playback": {"core", "playback"},
    "store": {"core", "store"},
    "render": {"core", "playback", "store", "render"},
    "link": {"core", "playback", "store", "render", "link"},
    "app": {"core", "playback", "store", "render", "link", "app"},
    "ui": {"core", "playback", "store", "render", "ui"},
    "render/ui": {"core", "playback", "store", "render", "ui", "render/ui"},
    "link/ui": {"core", "playback", "store", "render", "link", "ui", "render/ui", "link/ui"},
    "editors": {"core", "playback", "store", "render", "link", "app", "ui", "render/ui", "editors"},
    "app/ui": {"core", "playback", "store", "render", "link", "app", "ui", "render/ui", "link/ui", "editors", "app/ui"},
    "cli": {"core", "playback", "store", "render", "link", "app", "cli"},
    "sim": {"core", "playback", "store", "render", "link", "app", "sim"},
}
WIDGET_FOLDERS = {"ui", "render/ui", "link/ui", "editors", "app/ui"}

INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]')


def floor_of(relative):
    """The floor of a path below src/ ("render/ui/CImageWnd.h" -> "render/ui")."""
    parts = relative.split("/")
    if len(parts) >= 3 and parts[1] == "ui":
        return parts[0] + "/ui"
    return parts[0]


def widget_headers():
    for pattern in ("/usr/include/*/qt6/QtWidgets", "/usr/include/qt6/QtWidgets"):
        for folder in glob.glob(pattern):
            return {name for name in os.listdir(folder) if name.startswith("Q")}
    sys.exit("check-layering: the Qt Widgets headers were not found")


def check(root):
    widgets = widget_headers()
    faults = []
    src = os.path.join(root, "src")
    for path in sorted(glob.glob(os.path.join(src, "**", "*.*"), recursive=True)):
        if not path.endswith((".h", ".cpp")):
            continue
        relative = os.path.relpath(path, src).replace(os.sep, "/")
        floor = floor_of(relative)
        if floor not in ALLOWED:
            faults.append(f"{relative}: folder {floor!r} has no floor in the layering rules")
            continue
        with open(path, encoding="utf-8", errors="replace") as source:
            for number, line in enumerate(source, 1):
                match = INCLUDE.match(line)
                if not match:
                    continue
                kind, target = match.groups()
                if kind == '"' and "/" in target:
                    target_floor = floor_of(target)
                    if target_floor in ALLOWED and target_floor not in ALLOWED[floor]:
                        faults.append(f"{relative}:{number}: {floor} includes {target} from {target_floor}")
                if kind == "<" and floor not in WIDGET_FOLDERS:
                    header = target.split("/")[-1]
                    if target.startswith("QtWidgets/") or (header in widgets and "/" not in target):
                        faults.append(f"{relative}:{number}: Qt Widgets header {target} outside a widget folder")
    return faults


def main():
    root = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..")
    faults = check(os.path.abspath(root))
    for fault in faults:
        print(fault, file=sys.stderr)
    if faults:
        print(f"check-layering: {len(faults)} include(s) break the layering", file=sys.stderr)
        return 1
    print("check-layering: every include respects the floors")
    return 0


if __name__ == "__main__":
    sys.exit(main())
