#pragma once

#include "render/RichText.h"
#include "render/TextRun.h"

#include <QDateTime>
#include <QImage>
#include <QList>
#include <QString>
#include <array>
#include <utility>
#include <vector>

namespace vexa {

class GlyphLibrary;
class RunShaper;

// What DrawRuns reads from the owner of the run list.
struct RunLayout {
    int rows = 16;         // model height: 7, 12 or 16 (others draw no animation glyphs)
    int yOffset = 0;       // vertical offset of text and animation glyphs, in dots
    int pageWidth = 64;    // visible columns of a sign page (0: no page geometry)
    int pagePitch = 0;     // distance from one page to the next
    bool arabic = false;   // right-to-left text: runs are drawn whole
    bool pageAlign = true; // per-character page alignment wanted
    int visibleWidth = 0;  // columns a preview can show; pieces starting beyond are skipped
    const GlyphLibrary* library = nullptr;
    RunShaper* shaper = nullptr; // keeps the shaped runs between calls (nullptr: shaped for this call)
    // Column ranges [first, end): when given, DrawRuns touches only pixels in these columns
    // (the rest of the raster is left as it is), leaving out text whose ink lies elsewhere.
    const std::vector<std::pair<int, int>>* onlyColumns = nullptr;
    // When given, receives the column range of every animation frame drawn, in order.
    std::vector<std::pair<int, int>>* animationColumns = nullptr;
    // When given, receives the pen position before and after each run.
    std::vector<std::pair<double, double>>* runExtents = nullptr;
    // With onlyColumns: the pen positions of an earlier drawing of the same runs and
    // layout; a text run whose ink cannot reach those columns is stepped over.
    const std::vector<std::pair<double, double>>* knownRunExtents = nullptr;
};

// Turns RTF text into dots: runs of uniform format, drawn with outline fonts one pixel
// per dot in one of three layouts, multi-colour runs recoloured in horizontal bands, and
// the clock text of date previews.
class TextRasteriser {
public:
    enum class Layout { PerCharacterPages16, PagedTwelve, WholeRuns };

    // Cuts rich text into runs of identical format; an animation token is a run of its
    // own; paragraph ends are skipped; the last run loses its trailing white space.
    static TextRunList BuildRuns(const RichText& text);

    // Draws the runs into raster (black where nothing is drawn). Returns the final pen
    // position truncated to whole dots: the full width even when pieces were skipped.
    // Sets *animated when an animation run is met.
    static int DrawRuns(QImage& raster, const TextRunList& runs, const RunLayout& layout, bool drawAll,
                        int frameIndex, int* animated);

    static Layout LayoutFor(const RunLayout& layout);
    // True when the layout draws every run as one piece, false when character by character.
    static bool DrawsWholeRuns(const RunLayout& layout);

    // What the drawing of one run puts on the sign, for the row check.
    struct RunCoverage {
        qsizetype run = 0;       // index in the run list
        QList<char32_t> missing; // characters no font has a glyph for, each once
        bool hasInk = false;     // the run lights any pixel
        int top = 0;             // first and last raster row its ink reaches (may lie outside
        int bottom = 0;          // the raster: that ink is cut off)
    };
    // The coverage of every run DrawRuns draws with the layout, from the shapes it keeps
    // (layout.shaper): nothing is drawn again.
    static std::vector<RunCoverage> CoverageOf(const TextRunList& runs, const RunLayout& layout,
                                               const QPaintDevice& device);

    // Page alignment of one character of width w at pen x. 16-row signs: a character that
    // would straddle a boundary of pages pageWidth wide starts on the next page. Returns x.
    static double AlignToPage16(double x, int w, int pageWidth);
    // 12-row signs with pages of pageWidth visible columns every pagePitch columns (the
    // pitch must not be 0). Returns the pen position and the advance of the character.
    struct PageStep {
        double x;
        double advance;
    };
    static PageStep AlignToPageTwelve(double x, int w, int pageWidth, int pagePitch);

    // Top, middle and bottom band colour of a run colour.
    static std::array<QRgb, 3> ColourBands(QRgb colour);
    static bool IsBanded(QRgb colour);
    // Band (0 top, 1 middle, 2 bottom) of raster row y for a model height.
    static int BandOfRow(int y, int rows);

    // The clock text of a date: flags "YMDWTS" (each a decimal digit, non-zero = on).
    static QString DateString(const QString& flags, const QDateTime& now);
    // Draws text in "Arial" at 12 pixels, pure red, top left corner at (x, 0).
    static void DrawClock(QImage& raster, int x, const QString& text);

    // Pure colours of the signs.
    static constexpr QRgb Red = 0xFFFF0000;
    static constexpr QRgb Green = 0xFF00FF00;
    static constexpr QRgb Yellow = 0xFFFFFF00;
    static constexpr QRgb Dark = 0xFF000000;
};

} // namespace vexa
