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
};

// Draws the two glyph-based content kinds: bitmap-font text from glyph files on disk
// and glyph-code text from the preloaded library. Glyphs are drawn at their own size,
// top left at (x, 0), one bitmap pixel per dot.
class GlyphTextRenderer {
public:
    // Per code unit the file ASCII/<c>.bmp (missing: the space glyph 32.bmp); an animation
    // token gives Gif/<rows>/<n>_0.bmp and <n>_1.bmp. text is already without its tag and
    // trailing white space.
    static GlyphFrameLists BuildFrameLists(const QString& text, int rows, const QString& dataDir);

    // Draws the glyph files of one frame list; returns the width of the loadable glyphs.
    static int DrawGlyphText(QImage& raster, const QStringList& frameList, bool drawAll, int visibleWidth);

    // Draws glyph codes from the library; codes without a glyph take no width.
    static int DrawGlyphCodes(QImage& raster, const QList<quint32>& codes, const GlyphLibrary* library,
                              bool drawAll, int visibleWidth);
};

} // namespace vexa
