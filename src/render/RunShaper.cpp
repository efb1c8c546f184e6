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
std::pair<int, int> RunShaper::InkOf(const Piece& piece, const RunFont& font) {
    if (piece.glyphs.isEmpty())
        return {0, 0};
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
    for (int y = 0; y < scratch.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(scratch.constScanLine(y));
        for (int x = 0; x < scratch.width(); ++x) {
            if (line[x] != 0) {
                first = std::min(first, x);
                last = std::max(last, x);
            }
        }
    }
    if (last < 0)
        return {0, 0};
    return {first - margin, last - margin};
}

const RunShaper::Piece& RunShaper::CharacterOf(FontEntry& entry, QStringView text,
                                               const QPaintDevice& device) {
    // One character is one code unit or a surrogate pair: its code point names it (a lone
    // surrogate keeps its own value, which no pair gives).
    const char32_t key = text.size() == 2 ? QChar::surrogateToUcs4(text[0], text[1]) : text[0].unicode();
    auto it = entry.pieces.find(key);
    if (it == entry.pieces.end()) {
        Piece piece = MakePiece(entry.font, text.toString(), device);
        std::tie(piece.leftInk, piece.rightInk) = InkOf(piece, entry.font);
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
        for (qsizetype i = 0; i < text.size(); ++i) {
            const qsizetype length =
                text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate() ? 2 : 1;
            shaped.characters.push_back(&CharacterOf(*font, text.mid(i, length), device));
            i += length - 1;
        }
        shaped.hasCharacters = true;
    }
    return shaped;
}

} // namespace vexa
