#pragma once

#include "render/RunFont.h"
#include "render/TextRun.h"

#include <QGlyphRun>
#include <QList>
#include <QPointF>
#include <QRawFont>
#include <QString>
#include <QStringView>
#include <map>
#include <memory>
#include <tuple>
#include <unordered_map>
#include <vector>

class QPaintDevice;

namespace vexa {

// Text runs laid out once: the font of each run and the glyphs and advance of every piece
// (a whole run, or one character of it) are shaped at their first use and kept for every
// later measure, export frame and preview. Glyph positions are relative to the pen at the
// baseline, so a piece is drawn anywhere with QPainter::drawGlyphRun.
class RunShaper {
public:
    // The glyphs of one glyph run taken apart, for merging pieces into one run.
    struct GlyphSet {
        QRawFont font;
        QGlyphRun::GlyphRunFlags flags;
        QList<quint32> indexes;
        QList<QPointF> positions;
    };

    struct Piece {
        int advance = 0;            // the pen step QFontMetrics gives the piece
        QList<QGlyphRun> glyphs;    // one run per font engine the shaping used
        std::vector<GlyphSet> sets; // the same glyph runs taken apart
        int leftInk = 0;            // characters: first lit column relative to the pen (< 0: ink left of it)
        int rightInk = 0;           // characters: last lit column relative to the pen
        bool hasInk = false;        // characters: the piece lights any pixel
        int topInk = 0;             // characters: first and last lit row relative to the baseline
        int bottomInk = 0;
        bool missingGlyph = false; // characters: drawn with a glyph no font has (.notdef)
    };

    // What the drawing of one run puts on the sign: the characters no font has a glyph
    // for (fallback fonts included) and the rows its ink reaches relative to the baseline.
    struct Coverage {
        QList<char32_t> missing; // each character once, in the order of the text
        bool hasInk = false;
        int top = 0;
        int bottom = 0;
    };

    // A run as one piece (whole) or cut into characters; each is shaped when first asked
    // for, and the pieces of one character are shared by every run of the same font.
    struct ShapedRun {
        const RunFont* font = nullptr;
        bool hasWhole = false;
        bool hasCharacters = false;
        bool wholeInked = false; // the ink of the whole piece was looked for
        Piece whole;
        std::vector<const Piece*> characters;
    };

    // The shaped run runIndex of a run list for drawing on device: its whole piece when
    // whole, else its characters. A run that changed since the last call is shaped again.
    const ShapedRun& Shape(int runIndex, const TextRun& run, const QPaintDevice& device, bool whole);
    // Drops the shaped runs (a new run list follows); the fonts and characters stay.
    void ForgetRuns() { runs.clear(); }
    // The coverage of a run drawn whole or by characters. The characters were inked when
    // they were shaped; a whole piece is inked here once.
    Coverage CoverageOf(int runIndex, const TextRun& run, const QPaintDevice& device, bool whole);

private:
    struct FontKey {
        QString face;
        int size, bold, italic, underline, charset, dpi;
        friend bool operator<(const FontKey& a, const FontKey& b) {
            return std::tie(a.face, a.size, a.bold, a.italic, a.underline, a.charset, a.dpi) <
                   std::tie(b.face, b.size, b.bold, b.italic, b.underline, b.charset, b.dpi);
        }
    };
    struct FontEntry {
        FontEntry(const TextRun& run, const QPaintDevice& device) : font(run, device) {}
        RunFont font;
        std::unordered_map<char32_t, Piece> pieces; // by code point
    };
    struct RunEntry {
        TextRun run;
        int dpi = 0;
        ShapedRun shaped;
    };

    FontEntry& FontOf(const TextRun& run, const QPaintDevice& device);
    static Piece MakePiece(const RunFont& font, const QString& text, const QPaintDevice& device);
    // Where the ink of a piece lies relative to the pen at the baseline, into its ink members.
    static void InkOf(Piece& piece, const RunFont& font);
    // The characters of text (one code unit or a surrogate pair each) with their pieces.
    template <typename Visit> static void ForEachCharacter(QStringView text, Visit visit);
    static const Piece& CharacterOf(FontEntry& entry, QStringView text, const QPaintDevice& device);

    std::map<FontKey, std::unique_ptr<FontEntry>> fonts;
    std::vector<std::unique_ptr<RunEntry>> runs;
};

} // namespace vexa
