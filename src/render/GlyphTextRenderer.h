#pragma once

#include <QImage>
#include <QList>
#include <QString>
#include <QStringList>
#include <array>

namespace vexa {

class GlyphLibrary;

// Frame lists of a bitmap-font text: one glyph file per character, per frame.
struct GlyphFrameLists {
    std::array<QStringList, 2> lists;
    int width = 0; // width of frame 0 in dots
    bool animated = false;
    // Positions in the text of the characters drawn with the space glyph: their file is missing.
    QList<qsizetype> missing;
};

// Draws the two glyph-based content kinds: bitmap-font text from glyph files on disk
// and glyph-code text from the preloaded library. Glyphs are drawn at their own size,
// top left at (x, 0), one bitmap pixel per dot.
class GlyphTextRenderer {
public:
    // Per code unit the file ASCII/<c>.bmp (missing: the space glyph 32.bmp); an animation
    // token gives Gif/<rows>/<n>_0.bmp and <n>_1.bmp. text is already without its tag and
    // trailing white space. With characterCodes the lists show the text as a sign with a
    // built-in character set shows it: each character, an animation token too, is the glyph
    // of the byte it is sent as, and characters the sign drops are left out.
    static GlyphFrameLists BuildFrameLists(const QString& text, int rows, const QString& dataDir,
                                           bool characterCodes = false);

    // Draws the glyph files of one frame list; returns the width of the loadable glyphs.
    static int DrawGlyphText(QImage& raster, const QStringList& frameList, bool drawAll, int visibleWidth);

    // Draws glyph codes from the library; codes without a glyph take no width.
    static int DrawGlyphCodes(QImage& raster, const QList<quint32>& codes, const GlyphLibrary* library,
                              bool drawAll, int visibleWidth);
};

} // namespace vexa
