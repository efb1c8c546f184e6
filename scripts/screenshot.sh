#!/usr/bin/env bash
# Renders PNG pictures of the main window under Xvfb with a demo sign: ten rows of varied
# messages, once on a 16-row model (P29) and once on a 7-row model (P04), then in six
# languages of other scripts.
# Usage: scripts/screenshot.sh [OUTPUT_DIR]   (default: build/screenshots)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${VEXA_BUILD_DIR:-$root/build}
out=$(mkdir -p "${1:-$build/screenshots}" && cd "${1:-$build/screenshots}" && pwd)
vexa=$build/bin/vexa
editor=$build/bin/vexa-editor
for program in "$vexa" "$editor"; do
    [ -x "$program" ] || { echo "screenshot: $program is missing; build first" >&2; exit 1; }
done
mkdir -p "$out"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Writes an INI text file as UTF-8 with a byte-order mark and CR LF line ends.
write_ini() {
    local path=$1
    shift
    { printf '\xef\xbb\xbf'; printf '%s\r\n' "$@"; } >"$path"
}

demo_sign() {
    local model=$1 dir=$2 size=$3 # size: RTF half-points that fill the sign's height
    mkdir -p "$dir/WorkData"
    write_ini "$dir/WorkData/System.set" "[Setting]" "Language=${language:-3}" "LedType=$model" "Mode485=0" \
        "[LEDData]" "NowSelID=1"
    write_ini "$dir/WorkData/IDLIST.id" "[IDLIST]" "GROUP_CHECK=1" \
        "LEDID1=Entrance" "LEDID1_CHECK=1" "LEDID1_GROUP=1" \
        "LEDID2=Platform 2" "LEDID2_CHECK=0" "LEDID2_GROUP=1" \
        "LEDID7=Car park" "LEDID7_CHECK=1" "LEDID7_GROUP=1"
    local file=$dir/WorkData/1.led
    "$vexa" new --model "$model" "$file" >/dev/null
    local rtf='{\rtf1\ansi{\fonttbl{\f0 Arial;}}{\colortbl;\red255\green0\blue0;\red0\green255\blue0;\red255\green255\blue0;}'
    # The text editor writes bitmap-font text on 7-row signs and rich text on the others.
    msg() { # msg COLOUR STYLE TEXT
        if [ "$size" = ascii ]; then printf '[ASCII]%s' "$3"; else printf '%s\\f0\\fs%s\\cf%s%s %s\\par}' "$rtf" "$size" "$1" "$2" "$3"; fi
    }
    "$vexa" set --row 0 --kind text --content "$(msg 1 '' 'Welcome aboard')" --send 1 "$file" >/dev/null
    "$vexa" set --row 1 --kind text --content "$(msg 2 '\b' 'Next stop: Central')" --effect 2 --speed 3 --send 1 "$file" >/dev/null
    "$vexa" set --row 2 --kind text --content "$(msg 3 '' 'Mind the gap [GIF_006]')" --time 2 --marquee 1 --send 1 "$file" >/dev/null
    "$vexa" set --row 3 --kind date --content "[DATE_111000]$(msg 1 '' 'Today ')" --send 1 "$file" >/dev/null
    "$vexa" set --row 4 --kind text --content "$(msg 1 '\i' 'Please keep left')" --effect 4 --time 5 "$file" >/dev/null
    "$vexa" set --row 5 --kind image --content "" --send 0 "$file" >/dev/null
    "$vexa" set --row 6 --kind empty --content "" "$file" >/dev/null
    "$vexa" set --row 7 --kind text --content "$(msg 2 '' 'Have a nice day [GIF_000]')" --blink 1 --send 1 "$file" >/dev/null
    "$vexa" set --row 8 --kind text --content "[ASCII]Row 9 in glyphs" --speed 7 "$file" >/dev/null
    "$vexa" set --row 9 --kind text --content "$(msg 1 '' 'Row ten')" --effect 1 "$file" >/dev/null
}

shoot() {
    local model=$1 name=$2 size=$3 scale=${4:-1}
    local dir=$work/$name
    demo_sign "$model" "$dir" "$size"
    # Run inside the demo folder: the link engine writes Debug.Log into the current directory.
    (cd "$dir" && QT_QPA_PLATFORM=xcb QT_SCALE_FACTOR=$scale xvfb-run -a -s "-screen 0 2400x1600x24" \
        "$editor" --data-dir "$dir" --screenshot "$out/$name.png")
    echo "screenshot: $out/$name.png"
}

shoot P29 main-16row 24
shoot P04 main-7row ascii
shoot P29 main-16row-2x 24 2

# The main window in the languages of other scripts (language codes of System.set).
for shot in 1:zh-hans 4:ja 5:ko 6:ru 7:th 10:vi; do
    language=${shot%%:*} shoot P29 "main-${shot#*:}" 24
done
