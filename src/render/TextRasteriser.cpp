#include "render/TextRasteriser.h"

#include "render/ContentGrammar.h"
#include "render/GlyphLibrary.h"
#include "render/RenderLog.h"
#include "render/RunFont.h"
#include "render/RunShaper.h"

#include <QGlyphRun>
#include <QGuiApplication>
#include <QPainter>
#include <QRegion>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

namespace vexa {

namespace {

struct BandEntry {
    QRgb colour;
    std::array<QRgb, 3> bands;
};

constexpr QRgb R = TextRasteriser::Red;
constexpr QRgb G = TextRasteriser::Green;
constexpr QRgb Y = TextRasteriser::Yellow;

constexpr std::array<BandEntry, 9> kBands = {{
    {0xFF0000, {R, R, R}},
    {0x00FF00, {G, G, G}},
    {0xFFFF00, {Y, Y, Y}},
    {0xFF9600, {R, Y, G}},
    {0xA0E900, {Y, G, R}},
    {0xFF00FF, {G, Y, R}},
    {0x9600FF, {Y, R, G}},
    {0x0096FF, {G, R, Y}},
    {0x00FFFF, {R, G, Y}},
}};

bool FormatsDiffer(const CharFormat& a, const CharFormat& b) {
    return !(a == b);
}

TextRun MakeRun(const QString& text, const CharFormat& f) {
    TextRun run;
    run.text = text;
    run.faceName = f.face.left(TextRun::MaxFaceLength);
    run.size = f.sizeTwips / 20;
    run.colour = f.colour | 0xFF000000u;
    run.bold = f.bold ? 1 : 0;
    run.italic = f.italic ? 1 : 0;
    run.underline = f.underline ? 1 : 0;
    run.charset = f.charset;
    return run;
}

// Draws the text runs of one DrawRuns call with one painter; keeps the pen position.
class RunPainter {
public:
    RunPainter(QImage& target, const RunLayout& runLayout, bool all, RunShaper& runShaper)
        : raster(target), layout(runLayout), drawAll(all), shaper(runShaper) {}

    double x = 0.0;

    bool Visible() const { return drawAll || x < layout.visibleWidth; }

    // Records the pen position before and after one run (when the layout asks for it).
    class ExtentRecorder {
    public:
        explicit ExtentRecorder(RunPainter& painter) : pen(painter), start(painter.x) {}
        ~ExtentRecorder() {
            if (pen.layout.runExtents)
                pen.layout.runExtents->push_back({start, pen.x});
        }
        ExtentRecorder(const ExtentRecorder&) = delete;
        ExtentRecorder& operator=(const ExtentRecorder&) = delete;

    private:
        RunPainter& pen;
        double start;
    };

    // When only some columns are drawn and an earlier drawing shows that run index cannot
    // reach them, moves the pen past it and returns true. Ink reaches no further from the
    // run than the margin within which the shaper looks for it.
    bool StepOver(size_t index, const RunFont& font) {
        const auto* known = layout.knownRunExtents;
        if (!layout.onlyColumns || !known || index >= known->size())
            return false;
        const auto [start, end] = (*known)[index];
        const int margin = 2 * std::max(font.CellHeight(), 1) + 2;
        if (Touches(static_cast<int>(std::floor(start)) - margin, static_cast<int>(std::ceil(end)) + margin))
            return false;
        x = end;
        return true;
    }

    // False when only some columns are drawn and none of [x0, x1) is among them.
    bool Touches(int x0, int x1) const {
        if (!layout.onlyColumns)
            return true;
        for (const auto& [first, end] : *layout.onlyColumns)
            if (x0 < end && first < x1)
                return true;
        return false;
    }

    void DrawAnimation(const QImage& frame) {
        const int x0 = static_cast<int>(x);
        if (Visible()) {
            if (Touches(x0, x0 + frame.width()))
                Painter().drawImage(QPoint(x0, layout.yOffset), frame);
            if (layout.animationColumns)
                layout.animationColumns->push_back({x0, x0 + frame.width()});
        }
        x += frame.width();
    }

    void DrawText(int runIndex, const TextRun& run, TextRasteriser::Layout kind) {
        const bool whole = TextRasteriser::DrawsWholeRuns(layout);
        const RunShaper::ShapedRun& shaped = shaper.Shape(runIndex, run, raster, whole);
        if (StepOver(static_cast<size_t>(runIndex), *shaped.font))
            return;
        const int baseline = layout.yOffset + shaped.font->Baseline();
        const bool banded = TextRasteriser::IsBanded(run.colour);
        if (whole) {
            DrawPiece(shaped.whole, run.colour, banded, baseline, shaped.whole.advance);
            return;
        }
        // Pieces of one colour do not depend on the drawing order: they are gathered and
        // drawn together. A banded run recolours the columns of each piece after drawing
        // it, so a later piece keeps its own colour where its ink reaches back into the
        // columns of earlier ones: such a piece starts a new batch, drawn after the earlier
        // pieces are recoloured. Underlined pieces are drawn one by one with their line.
        batch.Reset(static_cast<qsizetype>(shaped.characters.size()));
        ranges.clear();
        for (const RunShaper::Piece* character : shaped.characters) {
            const RunShaper::Piece& piece = *character;
            double advance = piece.advance;
            if (kind == TextRasteriser::Layout::PerCharacterPages16) {
                x = TextRasteriser::AlignToPage16(x, piece.advance, layout.pageWidth);
            } else {
                const auto step =
                    TextRasteriser::AlignToPageTwelve(x, piece.advance, layout.pageWidth, layout.pagePitch);
                x = step.x;
                advance = step.advance;
            }
            if (run.underline != 0) {
                DrawPiece(piece, run.colour, banded, baseline, advance);
                continue;
            }
            if (Visible()) {
                if (banded && piece.leftInk < 0)
                    FlushBatch(run.colour);
                const int x0 = static_cast<int>(x);
                // One column of slack on each side of the ink found when shaping.
                const int inkFirst = x0 + piece.leftInk - 1;
                const int inkEnd = x0 + piece.rightInk + 2;
                if (Touches(inkFirst, inkEnd)) {
                    batch.Add(piece, QPointF(x0, baseline));
                    batchInk = {std::min(batchInk.first, inkFirst), std::max(batchInk.second, inkEnd)};
                }
                if (banded)
                    AddRange(x0, static_cast<int>(x + advance));
            }
            x += advance;
        }
        FlushBatch(run.colour);
        RecolourWaiting(run.colour, std::numeric_limits<int>::min(), std::numeric_limits<int>::max());
    }

private:
    // Glyphs of several pieces merged into one glyph run per font engine.
    struct GlyphBatch {
        struct Entry {
            QRawFont font;
            QGlyphRun::GlyphRunFlags flags;
            QList<quint32> indexes;
            QList<QPointF> positions;
        };
        std::vector<Entry> entries;
        qsizetype expected = 0; // glyphs a run of the batch is expected to gather

        void Reset(qsizetype glyphs) {
            entries.clear();
            expected = glyphs;
        }
        bool Empty() const { return entries.empty(); }
        void Add(const RunShaper::Piece& piece, QPointF origin) {
            for (const RunShaper::GlyphSet& set : piece.sets) {
                Entry* entry = nullptr;
                for (Entry& e : entries)
                    if (e.font == set.font)
                        entry = &e;
                if (!entry) {
                    entries.push_back(Entry{set.font, set.flags, {}, {}});
                    entry = &entries.back();
                    entry->indexes.reserve(expected);
                    entry->positions.reserve(expected);
                }
                entry->indexes.append(set.indexes);
                for (const QPointF& p : set.positions)
                    entry->positions.append(p + origin);
            }
        }
        void Draw(QPainter& target, QRgb colour) {
            if (entries.empty())
                return;
            target.setPen(QColor::fromRgb(colour));
            for (Entry& entry : entries) {
                QGlyphRun run;
                run.setRawFont(entry.font);
                run.setFlags(entry.flags);
                run.setGlyphIndexes(entry.indexes);
                run.setPositions(entry.positions);
                target.drawGlyphRun(QPointF(0, 0), run);
            }
            entries.clear();
        }
    };

    QPainter& Painter() {
        if (!painter.isActive()) {
            painter.begin(&raster);
            painter.setBackgroundMode(Qt::TransparentMode);
            if (layout.onlyColumns) {
                QRegion columns;
                for (const auto& [first, end] : *layout.onlyColumns)
                    columns += QRect(first, 0, end - first, raster.height());
                painter.setClipRegion(columns);
            }
        }
        return painter;
    }

    // Recolouring sets each lit pixel to the band colour of its row whatever it was, so
    // the columns of pieces that touch or overlap are recoloured as one range.
    void AddRange(int x0, int x1) {
        if (!ranges.empty() && x0 >= ranges.back().first && x0 <= ranges.back().second) {
            ranges.back().second = std::max(ranges.back().second, x1);
            return;
        }
        ranges.push_back({x0, x1});
    }

    // Draws the gathered pieces; their columns wait to be recoloured. A batch's columns
    // are recoloured before a later batch of the run may reach into them, and at the end
    // of the run at the latest: the pixels come out as if each batch were recoloured right
    // after it was drawn, and are read back at far less cost than straight after the
    // raster engine wrote them.
    void FlushBatch(QRgb colour) {
        if (!batch.Empty()) {
            RecolourWaiting(colour, batchInk.first, batchInk.second);
            batch.Draw(Painter(), colour);
        }
        batchInk = kNoInk;
        waiting.insert(waiting.end(), ranges.begin(), ranges.end());
        ranges.clear();
        // The older columns need not wait any longer: the list stays short however long
        // the run is.
        if (waiting.size() > kMostWaiting) {
            const auto older = waiting.end() - kRecentWaiting;
            for (auto range = waiting.begin(); range != older; ++range)
                Recolour(colour, range->first, range->second);
            waiting.erase(waiting.begin(), older);
        }
    }

    // Recolours the waiting columns within [first, end); the others keep waiting.
    void RecolourWaiting(QRgb colour, int first, int end) {
        std::vector<std::pair<int, int>>& left = stillWaiting;
        left.clear();
        for (const auto& [x0, x1] : waiting) {
            const int from = std::max(x0, first);
            const int to = std::min(x1, end);
            if (from >= to) {
                left.push_back({x0, x1});
                continue;
            }
            Recolour(colour, from, to);
            if (x0 < from)
                left.push_back({x0, from});
            if (to < x1)
                left.push_back({to, x1});
        }
        waiting.swap(left);
    }

    void DrawPiece(const RunShaper::Piece& piece, QRgb colour, bool banded, int baseline, double width) {
        if (Visible()) {
            const int x0 = static_cast<int>(x);
            QPainter& p = Painter();
            p.setPen(QColor::fromRgb(colour));
            for (const QGlyphRun& glyphs : piece.glyphs)
                p.drawGlyphRun(QPointF(x0, baseline), glyphs);
            if (banded)
                Recolour(colour, x0, static_cast<int>(x + width));
        }
        x += width;
    }

    // Sets every lit pixel of columns [x0, x1) to the band colour of its row. The raster
    // engine draws straight into the image's pixels, so they are read and written here
    // while the painter stays open.
    void Recolour(QRgb colour, int x0, int x1) {
        const auto bands = TextRasteriser::ColourBands(colour);
        x0 = std::max(0, x0);
        x1 = std::min(x1, raster.width());
        if (layout.onlyColumns) {
            for (const auto& [first, end] : *layout.onlyColumns)
                RecolourColumns(bands, std::max(x0, first), std::min(x1, end));
            return;
        }
        RecolourColumns(bands, x0, x1);
    }

    void RecolourColumns(const std::array<QRgb, 3>& bands, int x0, int x1) {
        const int rows = std::min(layout.rows, raster.height());
        if (x1 <= x0)
            return;
        const qsizetype stride = raster.bytesPerLine();
        uchar* bits = raster.bits();
        for (int y = 0; y < rows; ++y) {
            auto* line = reinterpret_cast<QRgb*>(bits + y * stride);
            const QRgb band = bands[static_cast<size_t>(TextRasteriser::BandOfRow(y, layout.rows))];
            RecolourLine(line, x0, x1, band);
        }
    }

    // Four pixels at a time where the compiler offers vector types: every lit one takes
    // the band colour, the others stay.
    static void RecolourLine(QRgb* line, int x0, int x1, QRgb band) {
        int c = x0;
#if defined(__GNUC__)
        using Pixels = quint32 __attribute__((vector_size(16)));
        for (; c + 4 <= x1; c += 4) {
            Pixels pixels;
            std::memcpy(&pixels, line + c, sizeof(pixels));
            const auto lit = reinterpret_cast<Pixels>((pixels & 0x00FFFFFFu) != 0); // all ones where lit
            pixels = (pixels & ~lit) | (band & lit);
            std::memcpy(line + c, &pixels, sizeof(pixels));
        }
#endif
        for (; c < x1; ++c)
            if ((line[c] & 0x00FFFFFFu) != 0)
                line[c] = band;
    }

    QImage& raster;
    const RunLayout& layout;
    bool drawAll;
    RunShaper& shaper;
    QPainter painter;
    GlyphBatch batch;
    static constexpr std::pair<int, int> kNoInk{std::numeric_limits<int>::max(),
                                                std::numeric_limits<int>::min()};
    std::pair<int, int> batchInk = kNoInk;   // columns the batch's ink may reach
    std::vector<std::pair<int, int>> ranges; // columns of the batched pieces of a banded run
    static constexpr size_t kMostWaiting = 16;
    static constexpr std::ptrdiff_t kRecentWaiting = 4;
    std::vector<std::pair<int, int>> waiting; // columns of drawn batches not yet recoloured
    std::vector<std::pair<int, int>> stillWaiting;
};

} // namespace

TextRunList TextRasteriser::BuildRuns(const RichText& rich) {
    TextRunList runs;
    const QString& text = rich.text;
    const qsizetype length = rich.IsValid() ? text.size() : std::min(text.size(), rich.formats.size());
    for (qsizetype p = 0; p < length; ++p) {
        if (text[p] == u'\r')
            continue;
        const CharFormat& format = rich.formats[p];
        if (ContentGrammar::IsAnimationToken(text, p)) {
            runs.append(MakeRun(text.mid(p, ContentGrammar::AnimationTokenLength), format));
            p += ContentGrammar::AnimationTokenLength - 1;
            continue;
        }
        // The run ends before the next animation token or change of format; paragraph
        // ends inside it are left out.
        qsizetype last = p;
        bool paragraphEnds = false;
        for (qsizetype q = p + 1; q < length; ++q) {
            if (text[q] == u'\r') {
                paragraphEnds = true;
                continue;
            }
            if (ContentGrammar::IsAnimationToken(text, q) || FormatsDiffer(rich.formats[q], format))
                break;
            last = q;
        }
        QString chars = text.mid(p, last - p + 1);
        if (paragraphEnds)
            chars.remove(u'\r');
        p = last;
        runs.append(MakeRun(chars, format));
    }
    if (!runs.isEmpty())
        runs.last().text = ContentGrammar::RemoveTrailingWhiteSpace(runs.last().text);
    return runs;
}

double TextRasteriser::AlignToPage16(double x, int w, int pageWidth) {
    // Pen positions are whole columns. For those (below 2^30, on pages up to 2^16 wide)
    // whole-number division gives exactly what the division of doubles does: a quotient
    // that is not whole lies at least 2^-16 from the next whole number, far more than the
    // rounding error of a double of that size.
    if (pageWidth > 0 && pageWidth <= (1 << 16) && x >= 0 && x < double(1 << 30) && w > 0 && w < (1 << 30) &&
        x == std::trunc(x)) {
        const auto column = static_cast<qint64>(x);
        if ((column + w - 1) / pageWidth != column / pageWidth)
            return double(pageWidth) * double((column + w) / pageWidth);
        return x;
    }
    const double p = pageWidth;
    if (p != 0 && std::trunc((x + w - 1) / p) != std::trunc(x / p))
        return p * std::trunc((x + w) / p);
    return x;
}

// Wide characters lose one column of spacing on signs whose page is not a multiple of 12.
TextRasteriser::PageStep TextRasteriser::AlignToPageTwelve(double x, int w, int pageWidth, int pagePitch) {
    if (pagePitch == 0)
        return {x, double(w)};
    double a = w;
    double e = -1;
    if (w > 5 && pageWidth % 12 != 0) {
        a = w - 1;
        e = 0;
    }
    if (x >= 0 && x < 1e9 && x == std::floor(x) && std::abs(w) < (1 << 20)) {
        // Pen positions of paged rows are whole columns: the same steps in integers.
        const int column = static_cast<int>(x);
        const int aw = static_cast<int>(a);
        const int ew = static_cast<int>(e);
        const int end = column + aw;
        if (end % pagePitch > pageWidth || (end + ew) / pagePitch != column / pagePitch)
            return {double(pagePitch) * (column / pagePitch + 1), a};
        return {x, a};
    }
    const double q = pagePitch;
    const auto end = static_cast<qint64>(std::trunc(x + a));
    const double last = x + a + e;
    if (end % pagePitch > pageWidth || std::trunc(last / q) != std::trunc(x / q))
        x = q * std::trunc(x / q + 1);
    return {x, a};
}

TextRasteriser::Layout TextRasteriser::LayoutFor(const RunLayout& layout) {
    if (layout.rows == 16)
        return Layout::PerCharacterPages16;
    // Without a page pitch there is no page to align to (and nothing to divide by).
    if (layout.rows == 12 && layout.pageWidth != 0 && layout.pagePitch != 0)
        return Layout::PagedTwelve;
    return Layout::WholeRuns;
}

bool TextRasteriser::DrawsWholeRuns(const RunLayout& layout) {
    return LayoutFor(layout) == Layout::WholeRuns || layout.arabic || !layout.pageAlign;
}

namespace {

// First and last row of an image with a lit pixel; false when it has none.
bool LitRows(const QImage& image, int* first, int* last) {
    *first = -1;
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        if (std::any_of(line, line + image.width(),
                        [](QRgb pixel) { return pixel != TextRasteriser::Dark; })) {
            if (*first < 0)
                *first = y;
            *last = y;
        }
    }
    return *first >= 0;
}

} // namespace

std::vector<TextRasteriser::RunCoverage>
TextRasteriser::CoverageOf(const TextRunList& runs, const RunLayout& layout, const QPaintDevice& device) {
    const bool fontsAvailable = qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr;
    RunShaper localShaper;
    RunShaper& shaper = layout.shaper ? *layout.shaper : localShaper;
    const bool whole = DrawsWholeRuns(layout);
    std::vector<RunCoverage> coverage;
    coverage.reserve(static_cast<size_t>(runs.size()));
    for (qsizetype index = 0; index < runs.size(); ++index) {
        const TextRun& run = runs[index];
        RunCoverage entry;
        entry.run = index;
        int number = 0;
        if (run.text.size() == ContentGrammar::AnimationTokenLength &&
            ContentGrammar::ReadAnimationToken(run.text, 0, &number)) {
            for (int frame = 0; frame < 2 && layout.library; ++frame) {
                const QImage* image = layout.library->AnimationFrame(layout.rows, number, frame);
                int first = 0;
                int last = 0;
                if (!image || !LitRows(image->convertToFormat(QImage::Format_ARGB32), &first, &last))
                    continue;
                entry.top =
                    entry.hasInk ? std::min(entry.top, layout.yOffset + first) : layout.yOffset + first;
                entry.bottom =
                    entry.hasInk ? std::max(entry.bottom, layout.yOffset + last) : layout.yOffset + last;
                entry.hasInk = true;
            }
        } else if (fontsAvailable) {
            const RunShaper::Coverage shaped = shaper.CoverageOf(static_cast<int>(index), run, device, whole);
            const RunShaper::ShapedRun& font = shaper.Shape(static_cast<int>(index), run, device, whole);
            const int baseline = layout.yOffset + font.font->Baseline();
            entry.missing = shaped.missing;
            entry.hasInk = shaped.hasInk;
            entry.top = baseline + shaped.top;
            entry.bottom = baseline + shaped.bottom;
        }
        coverage.push_back(std::move(entry));
    }
    return coverage;
}

int TextRasteriser::DrawRuns(QImage& raster, const TextRunList& runs, const RunLayout& layout, bool drawAll,
                             int frameIndex, int* animated) {
    // Outline fonts need the GUI application object (the offscreen platform serves).
    const bool fontsAvailable = qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr;
    if (!fontsAvailable && !runs.isEmpty())
        qCWarning(lcRender) << "no QGuiApplication: text runs cannot be drawn";
    RunShaper localShaper;
    RunPainter pen(raster, layout, drawAll, layout.shaper ? *layout.shaper : localShaper);
    const Layout kind = LayoutFor(layout);
    for (qsizetype index = 0; index < runs.size(); ++index) {
        const TextRun& run = runs[index];
        const RunPainter::ExtentRecorder extent(pen);
        // An animation run is exactly one token; other text that merely looks like one
        // (a run "[GIF_1234]") is drawn as text.
        int number = 0;
        if (run.text.size() == ContentGrammar::AnimationTokenLength &&
            ContentGrammar::ReadAnimationToken(run.text, 0, &number)) {
            if (animated)
                *animated = 1;
            const QImage* frame =
                layout.library ? layout.library->AnimationFrame(layout.rows, number, frameIndex) : nullptr;
            if (frame)
                pen.DrawAnimation(*frame);
            continue;
        }
        if (fontsAvailable)
            pen.DrawText(static_cast<int>(index), run, kind);
    }
    return static_cast<int>(pen.x);
}

std::array<QRgb, 3> TextRasteriser::ColourBands(QRgb colour) {
    const QRgb rgb = colour & 0x00FFFFFFu;
    for (const BandEntry& entry : kBands) {
        if (entry.colour == rgb)
            return entry.bands;
    }
    const QRgb opaque = rgb | 0xFF000000u;
    return {opaque, opaque, opaque};
}

bool TextRasteriser::IsBanded(QRgb colour) {
    const auto bands = ColourBands(colour);
    return !(bands[0] == bands[1] && bands[1] == bands[2]);
}

int TextRasteriser::BandOfRow(int y, int rows) {
    const int t = rows / 3;
    if (y < t)
        return 0;
    if (y < 2 * t)
        return 1;
    return 2;
}

QString TextRasteriser::DateString(const QString& flags, const QDateTime& now) {
    std::array<bool, 6> on{};
    for (int i = 0; i < 6 && i < flags.size(); ++i) {
        const QChar c = flags[i];
        on[static_cast<size_t>(i)] = c >= u'1' && c <= u'9';
    }
    const bool year = on[0], month = on[1], day = on[2], weekday = on[3], time = on[4], seconds = on[5];
    static const char16_t* const kWeekdays[] = {u"星期天", u"星期一", u"星期二", u"星期三",
                                                u"星期四", u"星期五", u"星期六"};
    const QDate date = now.date();
    const QTime clock = now.time();
    QString text;
    if (year) {
        text += QString::number(date.year());
        if (month)
            text += u'-';
    }
    if (month)
        text += QStringLiteral("%1").arg(date.month(), 2, 10, QLatin1Char('0'));
    if ((year || month) && day)
        text += u'-';
    if (day)
        text += QStringLiteral("%1").arg(date.day(), 2, 10, QLatin1Char('0'));
    if (weekday) {
        const QString name =
            now.isValid() ? QString::fromUtf16(kWeekdays[date.dayOfWeek() % 7]) : QStringLiteral("未知");
        text += u' ' + name + u' ';
    }
    if (time) {
        text += QStringLiteral("%1:%2")
                    .arg(clock.hour(), 2, 10, QLatin1Char('0'))
                    .arg(clock.minute(), 2, 10, QLatin1Char('0'));
        if (seconds)
            text += QStringLiteral(":%1").arg(clock.second(), 2, 10, QLatin1Char('0'));
    }
    return text;
}

void TextRasteriser::DrawClock(QImage& raster, int x, const QString& text) {
    if (text.isEmpty())
        return;
    const RunFont font(QStringLiteral("Arial"), 12.0, raster);
    QPainter painter(&raster);
    painter.setFont(font.Font());
    painter.setPen(QColor::fromRgb(Red));
    painter.drawText(QPoint(x, font.Baseline()), text);
}

} // namespace vexa
