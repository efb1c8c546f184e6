#!/usr/bin/env bash
# Renders PNG pictures of the main window under Xvfb with a demo sign: ten rows of varied
# messages, once on a 16-row model (P29) and once on a 7-row model (P04), of the text and
# date editors opened on that sign, then in seven languages of other scripts and longer
# words, and the dialogs once in Russian.
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
    # warned=1: rows the row check warns about (black text too tall for the sign, a picture
    # that is missing), to show the marks, the tooltips and the editors' warning lines.
    if [ -n "${warned:-}" ] && [ "$size" != ascii ]; then
        local black='{\rtf1\ansi{\fonttbl{\f0 Arial;}}{\colortbl;\red255\green0\blue0;\red0\green0\blue0;}'
        "$vexa" set --row 0 --kind text --send 1 "$file" \
            --content "${black}\\f0\\fs48\\cf1 Tall \\cf2 black\\par}" >/dev/null
    fi
    if [ -n "${warned:-}" ]; then
        "$vexa" set --row 5 --kind image --content "$dir/missing-logo.png;" --send 1 "$file" >/dev/null
    fi
}

shoot() { # shoot MODEL NAME SIZE [SCALE [EDITOR]]  (EDITOR: text = row 0, date = row 3)
    local model=$1 name=$2 size=$3 scale=${4:-1} dialog=${5:-}
    local dir=$work/$name
    demo_sign "$model" "$dir" "$size"
    local extra=()
    [ -n "$dialog" ] && extra=(--screenshot-editor "$dialog")
    # Run inside the demo folder: the link engine writes Debug.Log into the current directory.
    (cd "$dir" && QT_QPA_PLATFORM=xcb QT_SCALE_FACTOR=$scale xvfb-run -a -s "-screen 0 2400x1600x24" \
        "$editor" --data-dir "$dir" --screenshot "$out/$name.png" "${extra[@]}")
    echo "screenshot: $out/$name.png"
}

shoot P29 main-16row 24
shoot P04 main-7row ascii
shoot P29 main-16row-2x 24 2
shoot P29 text-16row 24 1 text
shoot P04 text-7row ascii 1 text
shoot P29 date-16row 24 1 date
shoot P04 date-7row ascii 1 date
shoot P29 text-16row-2x 24 2 text
warned=1 shoot P29 main-warned 24
warned=1 shoot P29 text-warned 24 1 text

# The sign dialogs, and the window after a scan and after a group send, against a simulated
# line of signs 1 and 7 (sign 2 of the demo list does not answer).
shoot_signs() { # shoot_signs [NAME]  (NAME: the pictures' prefix, "signs" by default)
    local name=${1:-signs}
    local sim=$build/bin/vexa-sim
    [ -x "$sim" ] || { echo "screenshot: $sim is missing; sign scenes skipped" >&2; return 0; }
    local dir=$work/$name
    demo_sign P26 "$dir" 24
    local events=$work/sim-events
    "$sim" --model P26 --ids 1,7 >"$events" &
    local sim_pid=$!
    local device=""
    for _ in $(seq 50); do
        device=$(head -n 1 "$events" 2>/dev/null | sed -n 's/^.*\(\/dev\/[^ "]*\).*$/\1/p')
        [ -n "$device" ] && break
        sleep 0.1
    done
    for scene in id-editor id-modify group-send after-scan after-group-send; do
        (cd "$dir" && QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 2400x1600x24" \
            "$editor" --data-dir "$dir" --port "$device" --scene "$scene" --screenshot "$out/$name-$scene.png") ||
            echo "screenshot: scene $scene failed" >&2
        echo "screenshot: $out/$name-$scene.png"
    done
    kill "$sim_pid" 2>/dev/null || true
    wait "$sim_pid" 2>/dev/null || true
}
shoot_signs

# Playback: the sign view playing the programme, three rows playing in the window, and the
# text editor playing its row, on a 16-row sign (P30).
shoot_playback() {
    local dir=$work/playback
    demo_sign P30 "$dir" 24
    for scene in sign-view rows-playing editor-playing; do
        (cd "$dir" && QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 2400x1600x24" \
            "$editor" --data-dir "$dir" --scene "$scene" --screenshot "$out/playback-$scene.png") ||
            echo "screenshot: scene $scene failed" >&2
        echo "screenshot: $out/playback-$scene.png"
    done
}
shoot_playback

# --- The bitmap-font text editor, its character picker and the image editor, on a 7-row
# two-colour model (P06) and a 16-row model (P30). Row 8 holds glyph codes in several fonts
# and colours, row 5 a list of pictures from the Data tree.
glyph_codes() { # glyph_codes FONT COLOUR TEXT: the codes of TEXT, each followed by ","
    local font=$1 colour=$2 text=$3 i
    for ((i = 0; i < ${#text}; i++)); do
        printf '%d,' $(( $(printf '%d' "'${text:i:1}") | ((font << 2 | colour) << 11) ))
    done
}

shoot_editors() {
    local model=$1 name=$2 rows=$3 size=$4
    local dir=$work/$name-editors file
    demo_sign "$model" "$dir" "$size"
    file=$dir/WorkData/1.led
    local codes pictures="" n
    codes="[DASCII]$(glyph_codes 1 1 'Hello ')$(glyph_codes 0 0 'World ')$(glyph_codes 3 2 'Ok')$(printf '%d,' $((137 | (1 << 11))))"
    for n in 1 3 5; do pictures+="$build/bin/Data/Gif/$rows/${n}_0.bmp;"; done
    if [ -n "${warned:-}" ]; then
        pictures+="$dir/missing-logo.png;"
        codes+=$(printf '%d,' $((0xE9 | (1 << 13) | (1 << 11)))) # é, which no bitmap font has
    fi
    "$vexa" set --row 8 --kind text --content "$codes" --send 1 "$file" >/dev/null
    "$vexa" set --row 5 --kind image --content "$pictures" --send 1 "$file" >/dev/null
    local shot=$build/bin/vexa-dialogshot
    [ -x "$shot" ] || { echo "screenshot: $shot is missing; build vexa-dialogshot" >&2; exit 1; }
    run_shot() { # run_shot OUTPUT ARGS...
        local output=$1
        shift
        (cd "$dir" && QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1600x1200x24" \
            "$shot" --data-dir "$dir" "$@" "$out/$output.png")
        echo "screenshot: $out/$output.png"
    }
    run_shot "$name-text-editor" --editor bitmapfont --row 8
    run_shot "$name-character-picker" --editor bitmapfont --row 8 --click 1065
    run_shot "$name-image-editor" --editor image --row 5
    # The picture preparation, on a real picture of the system (another with SHOT_PICTURE).
    local photo=${SHOT_PICTURE:-/usr/share/pixmaps/debian-logo.png}
    if [ -r "$photo" ]; then
        run_shot "$name-picture-import" --editor image --row 5 --click 1070 --pick "$photo"
    else
        echo "screenshot: $photo is missing; picture preparation skipped" >&2
    fi
}

shoot_editors P06 p06 7 ascii
shoot_editors P30 p30 16 24
warned=1 shoot_editors P30 p30-warned 16 24
warned=1 shoot_editors P06 p06-warned 7 ascii

# The main window in the languages of other scripts (language codes of System.set).
for shot in 1:zh-hans 4:ja 5:ko 6:ru 7:th 8:id 10:vi; do
    language=${shot%%:*} shoot P29 "main-${shot#*:}" 24
    language=${shot%%:*} shoot P29 "text-${shot#*:}" 24 1 text
done

# The dialogs once in Russian, whose texts run longest.
language=6 shoot_signs signs-ru
language=6 shoot_editors P06 p06-ru 7 ascii
language=6 shoot P29 date-ru 24 1 date
