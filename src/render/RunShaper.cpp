#include "render/RunShaper.h"

#include <QFontMetrics>
#include <QPaintDevice>
#include <QPainter>
#include <QTextLayout>
#include <algorithm>

namespace vexa {

namespace {

int DpiOf(const QPaintDevice& device) {
    return device.logicalDpiY();
}

// Shapes text as one left-to-right line, the way QPainter::drawText lays out a string,
// and moves the glyph positions so that (0, 0) is the pen at the baseline.
QList<QGlyphRun> ShapeLine(const QString& text, const QFont& font, const QPaintDevice& device) {
    QTextLayout layout(text, font, const_cast<QPaintDevice*>(&device));
    QTextOption option;
    option.setTextDirection(Qt::LeftToRight);
    option.setWrapMode(QTextOption::NoWrap);
    layout.setTextOption(option);
    layout.setCacheEnabled(true);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    if (!line.isValid()) {
        layout.endLayout();
        return {};
    }
    line.setPosition(QPointF(0, 0));
    layout.endLayout();
    const qreal ascent = line.ascent();
    QList<QGlyphRun> runs = line.glyphRuns();
    for (QGlyphRun& run : runs) {
        QList<QPointF> positions = run.positions();
        for (QPointF& p : positions)
            p.ry() -= ascent;
        run.setPositions(positions);
        run.setBoundingRect(QRectF());
    }
    runs.removeIf([](const QGlyphRun& run) { return run.glyphIndexes().isEmpty(); });
    return runs;
}

} // namespace

RunShaper::FontEntry& RunShaper::FontOf(const TextRun& run, const QPaintDevice& device) {
    const FontKey key{run.faceName,  run.size,    run.bold,     run.italic,
                      run.underline, run.charset, DpiOf(device)};
    auto it = fonts.find(key);
    if (it == fonts.end())
        it = fonts.emplace(key, std::make_unique<FontEntry>(run, device)).first;
    return *it->second;
}

RunShaper::Piece RunShaper::MakePiece(const RunFont& font, const QString& text, const QPaintDevice& device) {
    Piece piece;
    piece.advance = QFontMetrics(font.Font(), &device).horizontalAdvance(text);
    piece.glyphs = ShapeLine(text, font.Font(), device);
    for (const QGlyphRun& run : piece.glyphs)
        piece.sets.push_back(GlyphSet{run.rawFont(), run.flags(), run.glyphIndexes(), run.positions()});
    return piece;
}

// Draws the piece once into a scratch raster with room on every side to find where its
// ink starts and ends relative to the pen.
void RunShaper::InkOf(Piece& piece, const RunFont& font) {
    piece.hasInk = false;
    piece.leftInk = piece.rightInk = piece.topInk = piece.bottomInk = 0;
    // A glyph no font has is .notdef (index 0) of the font asked, or comes from the stand-in
    // engine Qt draws boxes with when no fallback font covers the script at all: not a real
    // font, it has no pixel size.
    for (const GlyphSet& set : piece.sets)
        if (set.indexes.contains(0u) || set.font.pixelSize() <= 0)
            piece.missingGlyph = true;
    if (piece.glyphs.isEmpty())
        return;
    const int margin = 2 * std::max(font.CellHeight(), 1) + 2;
    QImage scratch(std::max(piece.advance, 0) + 2 * margin, 2 * margin, QImage::Format_ARGB32_Premultiplied);
    scratch.fill(Qt::transparent);
    {
        QPainter painter(&scratch);
        painter.setPen(Qt::white);
        for (const QGlyphRun& glyphs : piece.glyphs)
            painter.drawGlyphRun(QPointF(margin, margin), glyphs);
    }
    int first = scratch.width();
    int last = -1;
    int top = -1;
    int bottom = -1;
    for (int y = 0; y < scratch.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(scratch.constScanLine(y));
        bool lit = false;
        for (int x = 0; x < scratch.width(); ++x) {
            if (line[x] != 0) {
                first = std::min(first, x);
                last = std::max(last, x);
                lit = true;
            }
        }
        if (lit) {
            if (top < 0)
                top = y;
            bottom = y;
        }
    }
    if (last < 0)
        return;
    piece.hasInk = true;
    piece.leftInk = first - margin;
    piece.rightInk = last - margin;
    piece.topInk = top - margin;
    piece.bottomInk = bottom - margin;
}

template <typename Visit> void RunShaper::ForEachCharacter(QStringView text, Visit visit) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        const qsizetype length =
            text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate() ? 2 : 1;
        visit(text.mid(i, length));
        i += length - 1;
    }
}

const RunShaper::Piece& RunShaper::CharacterOf(FontEntry& entry, QStringView text,
                                               const QPaintDevice& device) {
    // One character is one code unit or a surrogate pair: its code point names it (a lone
    // surrogate keeps its own value, which no pair gives).
    const char32_t key = text.size() == 2 ? QChar::surrogateToUcs4(text[0], text[1]) : text[0].unicode();
    auto it = entry.pieces.find(key);
    if (it == entry.pieces.end()) {
        Piece piece = MakePiece(entry.font, text.toString(), device);
        InkOf(piece, entry.font);
        it = entry.pieces.emplace(key, std::move(piece)).first;
    }
    return it->second;
}

const RunShaper::ShapedRun& RunShaper::Shape(int runIndex, const TextRun& run, const QPaintDevice& device,
                                             bool whole) {
    const auto index = static_cast<size_t>(runIndex);
    if (runs.size() <= index)
        runs.resize(index + 1);
    std::unique_ptr<RunEntry>& slot = runs[index];
    const int dpi = DpiOf(device);
    if (!slot || slot->dpi != dpi || !(slot->run == run)) {
        slot = std::make_unique<RunEntry>();
        slot->run = run;
        slot->dpi = dpi;
    }
    FontEntry* font = nullptr;
    ShapedRun& shaped = slot->shaped;
    if (!shaped.font) {
        font = &FontOf(run, device);
        shaped.font = &font->font;
    }
    if (whole && !shaped.hasWhole) {
        shaped.whole = MakePiece(*shaped.font, run.text, device);
        shaped.hasWhole = true;
    }
    if (!whole && !shaped.hasCharacters) {
        if (!font)
            font = &FontOf(run, device);
        // One piece per character (a surrogate pair stays together).
        const QStringView text = run.text;
        shaped.characters.reserve(static_cast<size_t>(text.size()));
        ForEachCharacter(text, [&](QStringView character) {
            shaped.characters.push_back(&CharacterOf(*font, character, device));
        });
        shaped.hasCharacters = true;
    }
    return shaped;
}

namespace {

char32_t CodePointOf(QStringView character) {
    return character.size() == 2 ? QChar::surrogateToUcs4(character[0], character[1])
                                 : character[0].unicode();
}

// Characters that draw nothing by design: spaces, controls, format characters and
// variation selectors need no glyph of their own.
bool NeedsNoGlyph(char32_t c) {
    if (QChar::isSpace(c))
        return true;
    switch (QChar::category(c)) {
    case QChar::Other_Control:
    case QChar::Other_Format:
        return true;
    default:
        break;
    }
    return (c >= 0xFE00 && c <= 0xFE0F) || (c >= 0xE0100 && c <= 0xE01EF) || (c >= 0x180B && c <= 0x180F);
}

void AddInk(RunShaper::Coverage& coverage, const RunShaper::Piece& piece) {
    if (!piece.hasInk)
        return;
    coverage.top = coverage.hasInk ? std::min(coverage.top, piece.topInk) : piece.topInk;
    coverage.bottom = coverage.hasInk ? std::max(coverage.bottom, piece.bottomInk) : piece.bottomInk;
    coverage.hasInk = true;
}

} // namespace

RunShaper::Coverage RunShaper::CoverageOf(int runIndex, const TextRun& run, const QPaintDevice& device,
                                          bool whole) {
    Shape(runIndex, run, device, whole);
    ShapedRun& shaped = runs[static_cast<size_t>(runIndex)]->shaped;
    Coverage coverage;
    const auto addMissing = [&](QStringView character, const Piece& piece) {
        const char32_t c = CodePointOf(character);
        if (piece.missingGlyph && !NeedsNoGlyph(c) && !coverage.missing.contains(c))
            coverage.missing.append(c);
    };
    if (!whole) {
        size_t index = 0;
        ForEachCharacter(run.text, [&](QStringView character) {
            const Piece& piece = *shaped.characters[index++];
            AddInk(coverage, piece);
            addMissing(character, piece);
        });
        return coverage;
    }
    if (!shaped.wholeInked) {
        InkOf(shaped.whole, *shaped.font);
        shaped.wholeInked = true;
    }
    AddInk(coverage, shaped.whole);
    // Which characters lack their glyph: each looked up alone, as the shaper falls back
    // character by character.
    if (shaped.whole.missingGlyph) {
        FontEntry& font = FontOf(run, device);
        ForEachCharacter(run.text, [&](QStringView character) {
            addMissing(character, CharacterOf(font, character, device));
        });
    }
    return coverage;
}

} // namespace vexa
