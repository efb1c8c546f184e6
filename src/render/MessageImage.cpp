#include "render/MessageImage.h"

#include "render/BmpWriter.h"
#include "render/GlyphLibrary.h"
#include "render/ImageFileReader.h"
#include "render/RasterLimits.h"
#include "render/RasterPixels.h"
#include "render/RenderLog.h"
#include "render/RowCheck.h"
#include "render/RtfReader.h"
#include "render/SignLights.h"
#include "render/TextRasteriser.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPainter>

namespace vexa {

namespace {

bool IsBlank(const QString& s) {
    return ContentGrammar::IsBlank(s);
}

QImage BlackRaster(int width, int height) {
    QImage raster(std::max(1, width), std::max(1, height), QImage::Format_ARGB32_Premultiplied);
    raster.fill(TextRasteriser::Dark);
    return raster;
}

// Column of the last pixel that is not opaque black; -1 when every pixel is dark.
int LastLitColumn(const QImage& raster) {
    int last = -1;
    for (int y = 0; y < raster.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(raster.constScanLine(y));
        for (int x = raster.width() - 1; x > last; --x) {
            if (line[x] != TextRasteriser::Dark) {
                last = x;
                break;
            }
        }
    }
    return last;
}

// The first columns of a premultiplied raster as an ARGB32 image. Opaque premultiplied
// pixels are the same numbers in ARGB32, so an opaque raster's pixels are shared, neither
// converted nor copied (the image keeps the raster alive, and a write to it copies them);
// anything translucent is converted.
QImage Argb32Columns(const QImage& raster, int columns) {
    if (!RasterPixels::IsOpaque(raster))
        return raster.copy(0, 0, columns, raster.height()).convertToFormat(QImage::Format_ARGB32);
    auto* kept = new QImage(raster);
    QImage view(
        kept->constBits(), columns, kept->height(), kept->bytesPerLine(), QImage::Format_ARGB32,
        [](void* image) { delete static_cast<QImage*>(image); }, kept);
    view.setDotsPerMeterX(raster.dotsPerMeterX());
    view.setDotsPerMeterY(raster.dotsPerMeterY());
    return view;
}

} // namespace

MessageImage::MessageImage() : clock([] { return QDateTime::currentDateTime(); }) {}

void MessageImage::ClearParsed() {
    animated = 0;
    contentWidth = 0;
    isRunText = 1;
    dateFlags.clear();
    plainText.clear();
    imagePaths.clear();
    frameLists = {};
    missingGlyphs.clear();
    glyphText.clear();
    runList.clear();
    glyphCodes.clear();
    rejectedImages.clear();
    refusedCharacters = 0;
}

// Characters a parsed content would draw, counted before anything costly is built.
qsizetype DrawnCharacters(const ParsedContent& parsed) {
    switch (parsed.kind) {
    case ContentKind::Rtf:
        return 0; // counted on the text the reader finds (LoadRtf)
    case ContentKind::BitmapFont:
        return parsed.text.size();
    case ContentKind::GlyphCodes:
        return parsed.glyphCodes.size();
    case ContentKind::Date:
        return parsed.embeddedKind == ContentKind::Rtf ? 0 : parsed.embedded.size();
    case ContentKind::ImageList:
        return parsed.imagePaths.size();
    case ContentKind::Blank:
        break;
    }
    return 0;
}

void MessageImage::SetContent(const QString& newContent) {
    ClearParsed();
    findings.reset();
    content = newContent;
    const ParsedContent parsed = ContentGrammar::Parse(content);
    kind = parsed.kind;
    if (const qsizetype count = DrawnCharacters(parsed); count > RasterLimits::MaxRowCharacters) {
        // Far more than any editor writes or a sign holds: drawing it would take minutes
        // for dots nobody can send. The row stays empty and the caller reports it.
        refusedCharacters = count;
        kind = ContentKind::Blank;
    }
    switch (kind) {
    case ContentKind::Rtf:
        LoadRtf(parsed.text);
        break;
    case ContentKind::BitmapFont:
        LoadBitmapFontText(parsed.text);
        break;
    case ContentKind::GlyphCodes:
        plainText = parsed.text;
        glyphText = plainText; // what a character-code sign receives of it: the digits
        glyphCodes = parsed.glyphCodes;
        break;
    case ContentKind::Date:
        LoadDate(parsed);
        break;
    case ContentKind::ImageList:
        imagePaths = parsed.imagePaths;
        break;
    case ContentKind::Blank:
        break;
    }
    DropCache();
    Measure();
}

void MessageImage::LoadRtf(const QString& rtf) {
    const RichText text = rtfReader ? rtfReader(rtf) : vexa::RtfReader::Read(rtf, LegacyCodePage(codePage));
    if (text.text.size() > RasterLimits::MaxRowCharacters) {
        refusedCharacters = text.text.size();
        return;
    }
    runList = TextRasteriser::BuildRuns(text);
    shaper.ForgetRuns();
}

void MessageImage::LoadBitmapFontText(const QString& text) {
    plainText = ContentGrammar::RemoveTrailingWhiteSpace(text);
    glyphText = plainText;
    RefreshFrameLists();
}

void MessageImage::RefreshFrameLists() {
    const GlyphFrameLists lists =
        GlyphTextRenderer::BuildFrameLists(glyphText, rows, dataDir, Packing() == PackKind::CharacterCodes);
    frameLists = lists.lists;
    missingGlyphs = lists.missing;
    frameListsRows = rows;
    frameListsDataDir = dataDir;
    frameListsPackKind = Packing();
    contentWidth = lists.width;
    if (lists.animated)
        animated = 1;
}

void MessageImage::EnsureFrameLists() {
    const bool usesGlyphFiles = kind == ContentKind::BitmapFont ||
                                (kind == ContentKind::Date && !isRunText) ||
                                (kind == ContentKind::GlyphCodes && Packing() == PackKind::CharacterCodes);
    if (usesGlyphFiles &&
        (frameListsRows != rows || frameListsDataDir != dataDir || frameListsPackKind != Packing()))
        RefreshFrameLists();
}

bool MessageImage::SendsNoText() const {
    if (Packing() != PackKind::CharacterCodes)
        return false;
    return kind == ContentKind::Rtf || kind == ContentKind::ImageList ||
           (kind == ContentKind::Date && isRunText != 0);
}

void MessageImage::LoadDate(const ParsedContent& date) {
    if (date.embeddedKind == ContentKind::Rtf) {
        LoadRtf(date.embedded);
        isRunText = 1;
    } else if (date.embeddedKind == ContentKind::BitmapFont) {
        LoadBitmapFontText(date.embedded);
        isRunText = 0;
    }
    dateFlags = date.dateFlagChars;
}

QString MessageImage::MissingGlyphFolder() const {
    if (kind == ContentKind::BitmapFont || kind == ContentKind::GlyphCodes) {
        const QString missing = GlyphLibrary::MissingGlyphFolder(dataDir);
        if (!missing.isEmpty())
            return missing;
    }
    if (kind != ContentKind::ImageList && content.contains(QLatin1String("[GIF_")))
        return GlyphLibrary::MissingAnimationFolder(dataDir, rows);
    return {};
}

int MessageImage::DrawImageList(QImage& raster, bool drawAll, int visibleWidth) {
    QPainter painter(&raster);
    int x = 0;
    for (const QString& path : imagePaths) {
        if (path.isEmpty())
            continue;
        ImageFileReader picture(path); // a folder, device or named pipe is no picture
        const QSize size = picture.Size();
        if (!size.isValid())
            continue;
        if (!RasterLimits::ImageSizeAllowed(size)) {
            if (!rejectedImages.contains(path)) {
                qCWarning(lcRender) << "image too large to draw:" << path << size;
                rejectedImages << path;
            }
            continue;
        }
        if (!drawAll && x >= visibleWidth) {
            x += size.width();
            continue;
        }
        const QImage image = picture.Reader().read();
        if (image.isNull())
            continue;
        painter.drawImage(QPoint(x, 0), image);
        x += image.width();
    }
    return x;
}

RunLayout MessageImage::LayoutFor(int visibleWidth) {
    RunLayout layout;
    layout.rows = rows;
    layout.yOffset = yOffset;
    layout.pageWidth = pageWidth;
    layout.pagePitch = pagePitch;
    layout.arabic = arabic != 0;
    layout.pageAlign = pageAlign != 0;
    layout.visibleWidth = visibleWidth;
    layout.library = glyphLibrary;
    layout.shaper = &shaper;
    return layout;
}

int MessageImage::DrawContent(QImage& raster, bool drawAll, int frameIndex, int visibleWidth) {
    const RunLayout layout = LayoutFor(visibleWidth);
    const int frame = frameIndex == 1 ? 1 : 0;
    EnsureFrameLists();
    int width = 0;
    // What a character-code sign does not receive stays dark in its preview too.
    switch (SendsNoText() ? ContentKind::Blank : kind) {
    case ContentKind::Rtf:
        width = TextRasteriser::DrawRuns(raster, runList, layout, drawAll, frame, &animated);
        break;
    case ContentKind::Date:
        width = isRunText ? TextRasteriser::DrawRuns(raster, runList, layout, drawAll, frame, &animated)
                          : GlyphTextRenderer::DrawGlyphText(raster, frameLists[static_cast<size_t>(frame)],
                                                             drawAll, visibleWidth);
        break;
    case ContentKind::BitmapFont:
        width = GlyphTextRenderer::DrawGlyphText(raster, frameLists[static_cast<size_t>(frame)], drawAll,
                                                 visibleWidth);
        break;
    case ContentKind::GlyphCodes:
        // A character-code sign is sent the digits of the codes and shows them as text.
        width =
            Packing() == PackKind::CharacterCodes
                ? GlyphTextRenderer::DrawGlyphText(raster, frameLists[static_cast<size_t>(frame)], drawAll,
                                                   visibleWidth)
                : GlyphTextRenderer::DrawGlyphCodes(raster, glyphCodes, glyphLibrary, drawAll, visibleWidth);
        break;
    case ContentKind::ImageList:
        width = DrawImageList(raster, drawAll, visibleWidth);
        break;
    case ContentKind::Blank:
        break;
    }
    contentWidth = width;
    return width;
}

int MessageImage::Measure() {
    // Text runs measure the same until the runs or the layout change.
    const bool runText = IsRunText() && !SendsNoText();
    if (runText && measuredRuns && measuredRuns->key == RunKey(0)) {
        contentWidth = measuredRuns->width;
        if (measuredRuns->animated)
            animated = 1;
        return contentWidth;
    }
    QImage scratch = BlackRaster(1, EffectiveExportHeight());
    const int width = DrawContent(scratch, false, 0, 0);
    if (runText)
        measuredRuns = Measured{RunKey(0), width, animated != 0};
    return width;
}

QString MessageImage::ExportPath(int frameIndex) const {
    return QStringLiteral("%1/%2_%3.bmp").arg(imageDir).arg(controlId).arg(frameIndex);
}

QImage MessageImage::RenderExportFrame(int frameIndex) {
    Measure();
    if (frameIndex == 1 && animated == 0)
        return {};
    if (IsBlank(content))
        return {};
    if (kind == ContentKind::Date && (isRunText == 0 || runList.isEmpty()))
        return {};
    const int width = std::min(contentWidth, RasterLimits::MaxContentWidth);
    if (width <= 0)
        return {};
    QImage raster;
    if (frameIndex != 1 || !DeriveSecondFrame(width, raster)) {
        // The raster of the last frame 1 serves again once nobody holds it.
        raster = std::exchange(spareRaster, QImage());
        if (raster.size() == QSize(width, EffectiveExportHeight()) && raster.isDetached())
            raster.fill(TextRasteriser::Dark);
        else
            raster = BlackRaster(width, EffectiveExportHeight());
        if (frameIndex == 0 && IsRunText() && !SendsNoText()) {
            RunLayout layout = LayoutFor(width);
            firstFrame = FirstFrame{};
            layout.animationColumns = &firstFrame.animations;
            layout.runExtents = &firstFrame.runExtents;
            TextRasteriser::DrawRuns(raster, runList, layout, true, 0, &animated);
            firstFrame.key = RunKey(contentWidth);
            firstFrame.raster = raster;
        } else {
            DrawContent(raster, true, frameIndex, width);
        }
    }
    contentWidth = width;
    if (frameIndex == 1)
        spareRaster = raster;
    const int last = LastLitColumn(raster);
    // Dark columns after the last lit one are cut; an all-dark message keeps its width.
    const int kept = last >= 0 ? last + 1 : raster.width();
    return Argb32Columns(raster, kept);
}

bool MessageImage::IsRunText() const {
    return kind == ContentKind::Rtf || (kind == ContentKind::Date && isRunText != 0);
}

MessageImage::FrameKey MessageImage::RunKey(int width) const {
    return FrameKey{runList, rows,      yOffset,      pageWidth, pagePitch,
                    arabic,  pageAlign, glyphLibrary, width,     EffectiveExportHeight()};
}

// Frame 1 differs from frame 0 only in the columns of its animation frames, as long as
// every animation keeps its width (so that everything after it stays in place): frame 0
// is taken with those columns cleared and only they are drawn again.
bool MessageImage::DeriveSecondFrame(int width, QImage& raster) {
    if (!IsRunText() || SendsNoText() || firstFrame.raster.isNull() || !glyphLibrary ||
        !(firstFrame.key == RunKey(contentWidth)) || firstFrame.raster.width() != width)
        return false;
    size_t drawn = 0;
    for (const TextRun& run : runList) {
        int number = 0;
        if (run.text.size() != ContentGrammar::AnimationTokenLength ||
            !ContentGrammar::ReadAnimationToken(run.text, 0, &number))
            continue;
        const QImage* first = glyphLibrary->AnimationFrame(rows, number, 0);
        const QImage* second = glyphLibrary->AnimationFrame(rows, number, 1);
        if (!first && !second)
            continue;
        if (!first || !second || drawn >= firstFrame.animations.size())
            return false;
        const auto [x0, x1] = firstFrame.animations[drawn++];
        if (second->width() != first->width() || x1 - x0 != second->width())
            return false;
    }
    if (drawn != firstFrame.animations.size())
        return false;
    std::vector<std::pair<int, int>> columns;
    for (auto [x0, x1] : firstFrame.animations) {
        x0 = std::max(x0, 0);
        x1 = std::min(x1, width);
        if (x1 <= x0)
            continue;
        if (!columns.empty() && x0 <= columns.back().second)
            columns.back().second = std::max(columns.back().second, x1);
        else
            columns.push_back({x0, x1});
    }
    // Frame 0 is taken over: a second frame 1 without a new frame 0 is drawn in full.
    raster = std::move(firstFrame.raster);
    const std::vector<std::pair<double, double>> runExtents = std::move(firstFrame.runExtents);
    firstFrame = FirstFrame{};
    for (const auto& [x0, x1] : columns)
        for (int y = 0; y < raster.height(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(raster.scanLine(y));
            std::fill(line + x0, line + x1, TextRasteriser::Dark);
        }
    RunLayout layout = LayoutFor(width);
    layout.onlyColumns = &columns;
    layout.knownRunExtents = &runExtents;
    if (!columns.empty())
        TextRasteriser::DrawRuns(raster, runList, layout, true, 1, &animated);
    return true;
}

QString MessageImage::ExportFrame(int frameIndex, QImage* exported) {
    exportError.clear();
    if (exported)
        *exported = QImage();
    if (imageDir.isEmpty()) {
        // An image that was never told its folder must not write beside the file system root.
        qCWarning(lcRender) << "no image folder set for control" << controlId;
        return {};
    }
    const QString path = ExportPath(frameIndex);
    ExportRecord& record = exportRecords[frameIndex == 1 ? 1 : 0];
    const QImage bitmap = RenderExportFrame(frameIndex);
    if (bitmap.isNull()) {
        // A bitmap left by an earlier export must not be sent in place of this frame.
        QFile::remove(path);
        record.Forget();
        return {};
    }
    if (BmpWriter::Unchanged(bitmap, path, record)) {
        if (exported)
            *exported = bitmap;
        return path;
    }
    QString reason;
    if (!QDir().mkpath(imageDir))
        reason = QFileInfo(imageDir).exists() ? QStringLiteral("not a folder")
                                              : QStringLiteral("cannot create it");
    else if (BmpWriter::Write(bitmap, path, &reason, &record)) {
        if (exported)
            *exported = bitmap;
        return path;
    }
    exportError =
        QStringLiteral("cannot write %1 into %2: %3").arg(QFileInfo(path).fileName(), imageDir, reason);
    qCWarning(lcRender) << exportError;
    QFile::remove(path);
    record.Forget();
    return {};
}

void MessageImage::SetPageAlign(bool align) {
    pageAlign = align ? 1 : 0;
    DropCache();
}

QString MessageImage::CurrentDateString() const {
    if (kind != ContentKind::Date)
        return {};
    return TextRasteriser::DateString(dateFlags, clock ? clock() : QDateTime::currentDateTime());
}

MessageImage::CacheKey MessageImage::KeyFor(QSize client) const {
    return CacheKey{client,    rows,        yOffset,   pageWidth,    pagePitch, arabic,
                    pageAlign, markColumns, markPitch, glyphLibrary, dataDir,   CurrentDateString(),
                    signKind,  ledColour};
}

MessageImage::CheckKey MessageImage::CurrentCheckKey() const {
    return CheckKey{rows, yOffset, pageWidth, pagePitch, arabic, pageAlign, glyphLibrary, dataDir, Packing()};
}

const RowFindings& MessageImage::Findings() {
    const CheckKey key = CurrentCheckKey();
    if (!findings || !(findings->first == key))
        findings.emplace(key, RowCheck::Check(*this));
    return findings->second;
}

std::vector<TextRasteriser::RunCoverage> MessageImage::TextCoverage() {
    if (!IsRunText() || runList.isEmpty())
        return {};
    const QImage device = BlackRaster(1, EffectiveExportHeight());
    return TextRasteriser::CoverageOf(runList, LayoutFor(0), device);
}

QImage MessageImage::PreviewRaster(QSize client) {
    const CacheKey key = KeyFor(client);
    if (!previewCache.isNull() && key == cacheKey)
        return previewCache;
    canvas.Recycle(std::exchange(previewCache, QImage()));
    previewCache = RenderPreview(client);
    cacheKey = key;
    return previewCache;
}

QImage MessageImage::RenderPreview(QSize client) {
    canvas.SetGeometry(client, rows);
    if (!canvas.HasDots())
        return canvas.Compose(QImage());
    QImage preview = canvas.Compose(PreviewDots(canvas.DrawnColumns()));
    DrawPageMarks(preview);
    return preview;
}

void MessageImage::MarkPageColumn(QImage& preview, int modelRows, int column) {
    if (modelRows <= 0 || preview.width() < 3 || preview.height() < 3)
        return;
    const double k = double(preview.height() - 2) / modelRows;
    const int x = static_cast<int>(column * k); // the last pixel before the column's dots
    if (x < 1 || x > preview.width() - 2)
        return;
    for (int y = 1; y < preview.height() - 1; ++y)
        reinterpret_cast<QRgb*>(preview.scanLine(y))[x] = PageMarkColour;
}

void MessageImage::DrawPageMarks(QImage& preview) const {
    if (markPitch <= 0 || rows <= 0 || preview.height() < 3)
        return;
    const double k = double(preview.height() - 2) / rows;
    const int shown = static_cast<int>((preview.width() - 2) / k) + 1;
    for (int start = 0; start <= shown; start += markPitch) {
        if (start > 0)
            MarkPageColumn(preview, rows, start);
        if (markColumns > 0 && markColumns < markPitch)
            MarkPageColumn(preview, rows, start + markColumns);
    }
}

QImage MessageImage::PreviewDots(int columns) {
    QImage dots = BlackRaster(columns, rows);
    const int width = DrawContent(dots, false, 0, columns);
    // The exported bitmap ends at the content width: ink reaching past it (the overhang of a
    // last glyph) never reaches the sign, so the preview does not show it either.
    if (width < columns) {
        for (int y = 0; y < dots.height(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(dots.scanLine(y));
            std::fill(line + std::max(width, 0), line + columns, TextRasteriser::Dark);
        }
    }
    // A character-code sign receives a date row's text only, never its date and time.
    if (kind == ContentKind::Date && Packing() != PackKind::CharacterCodes)
        TextRasteriser::DrawClock(dots, width, CurrentDateString());
    contentWidth = width;
    if (signKind)
        SignLights::Recolour(dots, *signKind, ledColour);
    return dots;
}

} // namespace vexa
