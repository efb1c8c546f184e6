#pragma once

#include "core/ModelCatalogue.h"
#include "core/SignColours.h"
#include "render/ContentGrammar.h"
#include "render/ExportRecord.h"
#include "render/GlyphTextRenderer.h"
#include "render/PreviewCanvas.h"
#include "render/RichText.h"
#include "render/RowFindings.h"
#include "render/RunShaper.h"
#include "render/TextRasteriser.h"
#include "render/TextRun.h"

#include <QDateTime>
#include <QImage>
#include <QList>
#include <QSize>
#include <QString>
#include <QStringList>
#include <array>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

namespace vexa {

class GlyphLibrary;

// One message made into dots: parses a content string, measures and draws it for the
// enlarged preview, and exports its frames as message bitmaps for sending. The preview
// window CImageWnd wraps one; the send preparation and the command line use it without
// any window.
class MessageImage {
public:
    using Clock = std::function<QDateTime()>;
    using RtfParser = std::function<RichText(const QString& rtf)>;

    static constexpr QRgb BorderColour = PreviewCanvas::BorderColour;
    static constexpr QRgb GridColour = PreviewCanvas::GridColour;
    static constexpr QRgb PageMarkColour = 0xFF3C8CFF;

    MessageImage();

    // --- Set by the owner. Changing one of them takes effect at the next preview or
    // export (the preview cache notices), Measure() updates contentWidth.
    int rows = 16;        // model height in dots (7, 12 or 16)
    int exportHeight = 0; // height of exported bitmaps; 0 = rows
    int yOffset = 0;      // vertical offset of text runs and animation glyphs, -8..8
    int pageWidth = 64;   // visible columns of a sign page; 0 = no page geometry
    int pagePitch = 0;    // distance between pages in columns
    int arabic = 0;       // right-to-left text: runs drawn whole
    const GlyphLibrary* glyphLibrary = nullptr;
    int controlId = 0;   // names the exported files <controlId>_<frame>.bmp
    QString dataDir;     // the Data folder (bitmap-font glyph files, animations)
    QString imageDir;    // where ExportFrame writes
    Clock clock;         // local time of date previews (default: the system clock)
    RtfParser rtfReader; // turns RTF into rich text (default: RtfReader with codePage)
    int codePage = 1252; // legacy code page of the bytes of RTF content
    // The sign's pages, marked on the preview by thin lines where a page starts (every
    // markPitch columns) and, when pages lie further apart than the sign is wide, where its
    // markColumns visible columns end; so a word moved to the next page shows why. 0: none.
    int markColumns = 0;
    int markPitch = 0;
    // The sign the preview shows: every dot is drawn in the colour that sign lights for it,
    // single-colour signs in ledColour. None: dots in the colours they are drawn in. Exported
    // bitmaps are never recoloured (they are what the packer reads).
    std::optional<PackKind> signKind;
    LedColour ledColour = LedColour::Red;
    // How the sign takes the row (one bit per dot until a model is set). A character-code
    // sign receives the text of bitmap-font text alone: it is drawn as the sign shows it,
    // and every other content draws nothing.
    PackKind Packing() const { return signKind.value_or(PackKind::OneBit); }

    // --- Set by SetContent and the renderers.
    int animated = 0;     // 1 when the content holds an animation glyph
    int contentWidth = 0; // width in dots measured by the last drawing
    int isRunText = 1;    // date: 1 when its text is RTF, 0 when bitmap-font text
    QString dateFlags;
    QString plainText; // bitmap-font and glyph-code texts: text after the tag
    QStringList imagePaths;
    std::array<QStringList, 2> frameLists;
    QList<qsizetype> missingGlyphs; // bitmap-font text: positions drawn with the space glyph
    TextRunList runList;
    QList<quint32> glyphCodes;
    QStringList rejectedImages; // image files not drawn because they exceed the size limits
    // Characters (glyphs, glyph codes, images) of a content beyond RasterLimits::MaxRowCharacters:
    // such a content is not drawn at all; 0 when within the cap.
    qsizetype refusedCharacters = 0;
    QString exportError; // why the last ExportFrame could not write its bitmap ("" when it could)

    // Parses a content string, drops the preview cache and measures the content.
    void SetContent(const QString& content);
    const QString& Content() const { return content; }
    ContentKind Kind() const { return kind; }

    // Draws the content without keeping pixels to set contentWidth and animated.
    int Measure();

    // Writes frame 0 or 1 as a 32-bit BMP <imageDir>/<controlId>_<f>.bmp, cut after its
    // last lit column. Returns the path, or "" when the frame does not exist (frame 1 of
    // a still message, blank content, a date without RTF text, nothing to draw, no
    // imageDir) or could not be written (exportError then names the folder and the reason).
    // When bitmap is given it receives what the file holds: null when there is no frame or
    // the file could not be written.
    QString ExportFrame(int frameIndex, QImage* bitmap = nullptr);
    // The exported bitmap of a frame, uncut height exportHeight (empty when none).
    QImage RenderExportFrame(int frameIndex);
    QString ExportPath(int frameIndex) const;

    QString GetPlainText() const { return plainText; }
    // The folder of the Data tree this content draws from that is missing ("" when none
    // is): the glyph folder for bitmap-font text and glyph codes, the animation folder of
    // the sign's height for animation glyphs.
    QString MissingGlyphFolder() const;

    void SetPageAlign(bool align);
    int PageAlign() const { return pageAlign; }

    // The enlarged preview for a client area: a 1-pixel border AD,20,F0, black inside,
    // dots of k = (h - 2) / rows pixels in the sign's colours, a grid for 12 rows or less.
    // Frame 0 only.
    QImage PreviewRaster(QSize client);
    void DropCache() { canvas.Recycle(std::exchange(previewCache, QImage())); }
    // A thin page mark on an enlarged preview of a model height, left of a dot column.
    static void MarkPageColumn(QImage& preview, int rows, int column);
    // The first columns of frame 0 as the preview shows them, one pixel per dot (rows high):
    // the date's clock included, every dot in the sign's colour. Sets contentWidth.
    QImage PreviewDots(int columns);
    // The clock text a date preview shows now ("" for other contents).
    QString CurrentDateString() const;

    // Draws frame f of the content at one pixel per dot into raster (of rows or
    // exportHeight lines, black). Only pieces starting left of visibleWidth are drawn
    // unless drawAll. Returns the content width; sets animated.
    int DrawContent(QImage& raster, bool drawAll, int frameIndex, int visibleWidth);

    int EffectiveExportHeight() const { return exportHeight > 0 ? exportHeight : rows; }

    // What will not look on the sign as composed (RowCheck), worked out once per content
    // and layout.
    const RowFindings& Findings();
    // Where the text runs' ink lies and which characters no font has, from the shapes the
    // last measure or drawing kept.
    std::vector<TextRasteriser::RunCoverage> TextCoverage();
    // True when the text runs are what the row shows (RTF text, a date with RTF text).
    bool IsRunText() const;
    // Builds the frame lists of bitmap-font text again when the owner changed what they
    // depend on (model height, Data folder, packing kind).
    void EnsureFrameLists();

private:
    struct CacheKey {
        QSize client;
        int rows, yOffset, pageWidth, pagePitch, arabic, pageAlign, markColumns, markPitch;
        const GlyphLibrary* library;
        QString dataDir;
        QString clockText;
        std::optional<PackKind> signKind;
        LedColour ledColour;
        friend bool operator==(const CacheKey&, const CacheKey&) = default;
    };
    // What the findings were worked out for (the content resets them).
    struct CheckKey {
        int rows, yOffset, pageWidth, pagePitch, arabic, pageAlign;
        const GlyphLibrary* library;
        QString dataDir;
        PackKind packKind;
        friend bool operator==(const CheckKey&, const CheckKey&) = default;
    };
    CheckKey CurrentCheckKey() const;
    // A character-code sign shows nothing of the content but bitmap-font text.
    bool SendsNoText() const;

    void ClearParsed();
    void LoadRtf(const QString& rtf);
    void LoadBitmapFontText(const QString& text);
    void LoadDate(const ParsedContent& date);
    int DrawImageList(QImage& raster, bool drawAll, int visibleWidth);
    CacheKey KeyFor(QSize client) const;
    QImage RenderPreview(QSize client);
    void DrawPageMarks(QImage& preview) const;

    void RefreshFrameLists();

    // What text runs were measured or drawn with: the runs themselves (held, so that a
    // new list never takes their place unnoticed), the layout and the raster size.
    struct FrameKey {
        TextRunList runs;
        int rows, yOffset, pageWidth, pagePitch, arabic, pageAlign;
        const GlyphLibrary* library;
        int width, height;
        friend bool operator==(const FrameKey&, const FrameKey&) = default;
    };
    struct FirstFrame {
        QImage raster;                                     // uncut
        std::vector<std::pair<int, int>> animations;       // columns of its animation frames
        std::vector<std::pair<double, double>> runExtents; // pen before and after each run
        FrameKey key{};
    };
    RunLayout LayoutFor(int visibleWidth);
    FrameKey RunKey(int width) const;
    bool DeriveSecondFrame(int width, QImage& raster);

    QString content;
    QString glyphText;      // bitmap-font text the frame lists were built from
    int frameListsRows = 0; // rows, Data folder and packing kind the frame lists were built for
    QString frameListsDataDir;
    PackKind frameListsPackKind = PackKind::OneBit;
    ContentKind kind = ContentKind::Blank;
    int pageAlign = 1;
    QImage previewCache;
    CacheKey cacheKey{};
    RunShaper shaper;                          // the runs laid out once for measuring, exports and previews
    PreviewCanvas canvas;                      // frame, dot and grid maps of the last preview geometry
    std::array<ExportRecord, 2> exportRecords; // what ExportFrame last wrote for frames 0 and 1
    FirstFrame firstFrame;                     // the last frame 0 exported from text runs
    QImage spareRaster;                        // the raster of the last frame 1 exported
    struct Measured {
        FrameKey key;
        int width;
        bool animated;
    };
    std::optional<Measured> measuredRuns;                     // the last measure of text runs
    std::optional<std::pair<CheckKey, RowFindings>> findings; // the last row check
};

} // namespace vexa
