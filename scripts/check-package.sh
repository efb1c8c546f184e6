#!/usr/bin/env bash
# Builds the Debian package from a finished build, unpacks it into a scratch root and runs
# the installed programs from there, then checks the package with lintian and the desktop
# entry and metainfo with their validators.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${VEXA_BUILD_DIR:-$root/build}

cd "$build"
rm -f vexa_*.deb
cpack -G DEB >/dev/null
deb=$(ls vexa_*.deb)
echo "check-package: built $deb"

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
dpkg -x "$deb" "$scratch"
# A fresh install draws every language: the package recommends each font package the
# build machine gets from install-deps.sh.
recommends=$(dpkg-deb -f "$deb" Recommends)
for font in $(grep -o 'fonts-[a-z0-9-]*' "$root/scripts/install-deps.sh"); do
    if [[ ", $recommends," != *", $font,"* ]]; then
        echo "check-package: Recommends lacks $font ($recommends)" >&2
        exit 1
    fi
done
"$scratch/usr/bin/vexa" models >/dev/null
"$scratch/usr/bin/vexa" --version
env -u DISPLAY -u WAYLAND_DISPLAY "$scratch/usr/bin/vexa-editor" --version
"$scratch/usr/bin/vexa-sim" --version
test -d "$scratch/usr/share/vexa/Data/ASCII"
test -x "$scratch/usr/libexec/vexa/imagedit"
for size in 16x16 22x22 24x24 32x32 48x48 64x64 128x128 256x256; do
    test -s "$scratch/usr/share/icons/hicolor/$size/apps/org.vexa.editor.png"
done
test -s "$scratch/usr/share/icons/hicolor/scalable/apps/org.vexa.editor.svg"
# The installed editor finds its Data tree from its own prefix: render a message with it.
work=$(mktemp -d -p "$scratch")
"$scratch/usr/bin/vexa" new "$work/1.led" --model P06 >/dev/null
"$scratch/usr/bin/vexa" set "$work/1.led" --row 0 --kind text --send 1 --content '[ASCII]OK' >/dev/null
"$scratch/usr/bin/vexa" --data-dir "$work" render "$work/1.led" --model P06 --out "$work/img" >/dev/null
test -s "$work/img/20060_0.bmp" # bitmap-font glyphs come from the installed Data tree

for page in "$scratch"/usr/share/man/man1/*.1.gz; do
    if LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null | grep .; then
        echo "check-package: $page has roff warnings" >&2
        exit 1
    fi
done

desktop-file-validate "$scratch/usr/share/applications/org.vexa.editor.desktop"
appstreamcli validate --no-net --pedantic "$scratch/usr/share/metainfo/org.vexa.editor.metainfo.xml"
lintian --fail-on error "$deb"
echo "check-package: package, desktop entry and metainfo are clean"
