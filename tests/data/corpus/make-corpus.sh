#!/usr/bin/env bash
# Remakes the corpus of this folder from programs nobody on the project wrote:
#   rtf/lo-*.rtf      LibreOffice Writer ("soffice --headless --convert-to rtf") from flat ODF
#                     documents that the Python below writes (text in the ten languages, colours,
#                     East Asian and complex-script faces and sizes of their own, automatic colour)
#   rtf/pandoc-*.rtf  pandoc ("pandoc -s -t rtf") from Markdown written below
#   pictures/*.png    real pictures of a Debian system, made 16 dots high with ImageMagick
#   *.led             message files made with the project's own command line (vexa new, vexa set)
# Needs: libreoffice-writer-nogui, pandoc, imagemagick and the packages of the pictures (README.md),
# and a built vexa (VEXA=path/to/vexa, default ../../../build/bin/vexa).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
vexa=${VEXA:-$here/../../../build/bin/vexa}
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir -p "$here/rtf" "$here/pictures"

python3 - "$scratch" <<'PY'
import sys, html
out = sys.argv[1]
# name: list of (text, properties) spans; properties are ODF text properties.
rows = {
    "colours": [("Red ", 'fo:color="#ff0000"'), ("Grn ", 'fo:color="#00ff00"'), ("Yel ", 'fo:color="#ffff00"'),
                ("Blu ", 'fo:color="#0000ff"'), ("Gry ", 'fo:color="#808080"'), ("Crm ", 'fo:color="#dc143c"'),
                ("Tea ", 'fo:color="#008080"'), ("Blk ", 'fo:color="#000000"'), ("Auto", "")],
    "zh-cn": [("Hi ", ""), ("中文信息", 'style:font-name-asian="WenQuanYi Micro Hei" style:font-size-asian="16pt"')],
    "thai": [("ไทย ", 'style:font-name-complex="Garuda" style:font-size-complex="14pt"'), ("ok", 'fo:color="#00ff00"')],
    "ja-ko": [("日本語 ", 'style:font-name-asian="WenQuanYi Micro Hei" style:font-size-asian="12pt" fo:color="#ff0000"'),
              ("한국어", 'style:font-name-asian="WenQuanYi Micro Hei" style:font-size-asian="12pt"')],
    "zh-tw": [("繁體中文", 'style:font-name-asian="WenQuanYi Micro Hei" style:font-size-asian="11pt" fo:color="#ff9600"')],
    "ru": [("Привет", 'style:font-name="Liberation Sans" fo:font-size="11pt" fo:color="#ff0000"')],
    "vi": [("Xin chào", 'style:font-name="Liberation Sans" fo:font-size="10pt" fo:color="#ffff00"')],
    "id-ms": [("Selamat datang", 'style:font-name="Liberation Sans" fo:font-size="9pt" fo:color="#0080ff"')],
}
ns = ('xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0" '
      'xmlns:style="urn:oasis:names:tc:opendocument:xmlns:style:1.0" '
      'xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0" '
      'xmlns:fo="urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0" '
      'xmlns:svg="urn:oasis:names:tc:opendocument:xmlns:svg-compatible:1.0"')
faces = ["Liberation Sans", "WenQuanYi Micro Hei", "Garuda"]
for name, spans in rows.items():
    styles, body = [], []
    for i, (text, props) in enumerate(spans):
        styles.append(f'<style:style style:name="T{i}" style:family="text"><style:text-properties {props}/></style:style>')
        body.append(f'<text:span text:style-name="T{i}">{html.escape(text)}</text:span>')
    decls = "".join(f'<style:font-face style:name="{f}" svg:font-family="\'{f}\'"/>' for f in faces)
    doc = (f'<?xml version="1.0" encoding="UTF-8"?>\n<office:document {ns} office:version="1.2" '
           f'office:mimetype="application/vnd.oasis.opendocument.text"><office:font-face-decls>{decls}'
           f'</office:font-face-decls><office:automatic-styles>{"".join(styles)}</office:automatic-styles>'
           f'<office:body><office:text><text:p>{"".join(body)}</text:p></office:text></office:body></office:document>\n')
    open(f"{out}/lo-{name}.fodt", "w", encoding="utf-8").write(doc)
markdown = {
    "en": "Next stop **Central** *Station*\n",
    "cjk": "中文 繁體 日本語 한국어\n",
    "thai": "สถานีถัดไป\n",
    "ru-vi": "Привет Xin chào\n",
    "id-ms": "Selamat datang\n",
}
for name, text in markdown.items():
    open(f"{out}/pandoc-{name}.md", "w", encoding="utf-8").write(text)
PY

(cd "$scratch" && soffice --headless --convert-to rtf --outdir "$scratch" lo-*.fodt >/dev/null 2>&1)
for md in "$scratch"/pandoc-*.md; do
    pandoc -s -f markdown -t rtf "$md" -o "${md%.md}.rtf"
done
cp "$scratch"/*.rtf "$here/rtf/"

# Real pictures, 16 dots high (the tallest sign); the exact sources are named in README.md.
/usr/bin/convert /usr/share/pixmaps/debian-logo.png -resize x16 "$here/pictures/debian-logo.png"
/usr/bin/convert /usr/share/gitweb/static/git-logo.png -resize x16 "$here/pictures/git-logo.png"
/usr/bin/convert /usr/share/icons/hicolor/16x16/apps/libreoffice-writer.png "$here/pictures/libreoffice-writer.png"
/usr/bin/convert rose: -resize x16 "$here/pictures/rose.png"
for p in "$here"/pictures/*.png; do mogrify -strip "$p"; done

# A row holds the RTF on one line: a line break that ends a control word becomes the
# space that ends it, the others go (RTF ignores them).
one_line() { python3 -c 'import re,sys; t=open(sys.argv[1],encoding="latin-1").read(); t=re.sub(r"(\\[a-z]+-?[0-9]*)\r?\n", r"\1 ", t); sys.stdout.write(t.replace("\r","").replace("\n",""))' "$1"; }

make_file() { # file, then one RTF per row
    local file=$1; shift
    rm -f "$file"
    "$vexa" new "$file" --model P30 >/dev/null
    local row=0
    for rtf in "$@"; do
        "$vexa" set "$file" --row $row --kind text --send 1 --content "$(one_line "$rtf")" >/dev/null
        row=$((row + 1))
    done
}
r=$here/rtf
make_file "$here/libreoffice.led" $r/lo-colours.rtf $r/lo-zh-cn.rtf $r/lo-thai.rtf $r/lo-ja-ko.rtf \
    $r/lo-zh-tw.rtf $r/lo-ru.rtf $r/lo-vi.rtf $r/lo-id-ms.rtf
make_file "$here/pandoc.led" $r/pandoc-en.rtf $r/pandoc-cjk.rtf $r/pandoc-thai.rtf $r/pandoc-ru-vi.rtf \
    $r/pandoc-id-ms.rtf
echo "make-corpus: done"
