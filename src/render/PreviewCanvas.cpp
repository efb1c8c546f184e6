#include "render/PreviewCanvas.h"

#include "render/RasterLimits.h"
#include "render/RasterPixels.h"

#include <QPainter>
#include <algorithm>
#include <cmath>
#include <cstring>

namespace vexa {

namespace {

constexpr QRgb kDark = 0xFF000000;
constexpr int kMaxProbeRows = 256;      // the probe keeps a dot's row in 8 bits
constexpr int kMaxProbeColumns = 65536; // and its column in 16

QRgb* Line(QImage& image, int y) {
    return reinterpret_cast<QRgb*>(image.bits() + qsizetype(y) * image.bytesPerLine());
}

// The first and one-past-last index of the entries >= 0, when they form one block.
bool OneBlock(const std::vector<int>& map, int* first, int* end) {
    const auto isSet = [](int v) { return v >= 0; };
    const auto begin = std::find_if(map.begin(), map.end(), isSet);
    const auto last = std::find_if(begin, map.end(), [](int v) { return v < 0; });
    if (std::find_if(last, map.end(), isSet) != map.end())
        return false;
    *first = static_cast<int>(begin - map.begin());
    *end = static_cast<int>(last - map.begin());
    return true;
}

// A pen thinner than a pixel draws as a one-pixel line without smoothing; a cosmetic pen
// gives that line in the exact grid colour.
QPen GridPen() {
    QPen pen(QColor::fromRgb(PreviewCanvas::GridColour));
    pen.setWidth(0);
    pen.setCosmetic(true);
    return pen;
}

} // namespace

void PreviewCanvas::SetGeometry(QSize size, int modelRows) {
    const QSize area(std::max(size.width(), 1), std::max(size.height(), 1));
    if (area == client && modelRows == rows && !frame.isNull())
        return;
    client = area;
    rows = modelRows;
    const int w = client.width();
    const int h = client.height();
    frame = QImage(w, h, QImage::Format_ARGB32_Premultiplied);
    frame.fill(kDark);
    {
        QPainter painter(&frame);
        painter.setPen(QColor::fromRgb(BorderColour));
        painter.drawRect(0, 0, w - 1, h - 1);
    }
    innerWidth = w - 2;
    innerHeight = h - 2;
    hasDots = innerWidth > 0 && innerHeight > 0 && rows > 0;
    mapped = false;
    pixelColumn.clear();
    sourceRow.clear();
    grid.clear();
    layouts.clear();
    layoutOf.clear();
    sameAsAbove.clear();
    if (!hasDots)
        return;
    const double k = double(innerHeight) / rows;
    shownDots = innerWidth / k;
    // Only the columns that can be shown are drawn; the width is still measured in full.
    drawnColumns =
        static_cast<int>(std::min<double>(std::ceil(shownDots) + 1, RasterLimits::MaxContentWidth));
    PrepareMaps();
    if (mapped)
        PrepareGrid();
    if (mapped)
        PrepareLines();
    grid.clear();
}

int PreviewCanvas::SourceRowOf(int y) const {
    const int i = y - rowFirst;
    return i >= 0 && i < static_cast<int>(sourceRow.size()) ? sourceRow[static_cast<size_t>(i)] : -1;
}

// The frame line with its grid spans on it, and the runs of dot pixels they leave free.
PreviewCanvas::LineLayout PreviewCanvas::LayoutOfLine(int y, const std::vector<Span>& spans) const {
    LineLayout layout;
    const auto* frameLine = reinterpret_cast<const QRgb*>(frame.constScanLine(y));
    layout.pixels.assign(frameLine, frameLine + client.width());
    std::vector<bool> covered(static_cast<size_t>(client.width()), false);
    for (const Span& span : spans) {
        std::fill_n(layout.pixels.begin() + span.x, span.length, GridColour);
        std::fill_n(covered.begin() + span.x, span.length, true);
    }
    if (SourceRowOf(y) < 0)
        return layout;
    for (size_t i = 0; i < pixelColumn.size(); ++i) {
        const int x = columnFirst + static_cast<int>(i);
        if (covered[static_cast<size_t>(x)])
            continue;
        DotRun* last = layout.runs.empty() ? nullptr : &layout.runs.back();
        if (last && last->column == pixelColumn[i] && last->x + last->length == x)
            ++last->length;
        else
            layout.runs.push_back(DotRun{x, 1, pixelColumn[i]});
    }
    return layout;
}

// The layout of every client line (lines alike share one), and which lines repeat the
// line above them: the same layout and the same row of dots (or none).
void PreviewCanvas::PrepareLines() {
    const auto height = static_cast<size_t>(client.height());
    layoutOf.assign(height, 0);
    sameAsAbove.assign(height, false);
    std::vector<Span> spans;
    size_t next = 0;
    for (int y = 0; y < client.height(); ++y) {
        spans.clear();
        for (; next < grid.size() && grid[next].y == y; ++next)
            spans.push_back(grid[next]);
        LineLayout layout = LayoutOfLine(y, spans);
        const auto same = std::find_if(layouts.rbegin(), layouts.rend(), [&layout](const LineLayout& known) {
            return known.runs == layout.runs && known.pixels == layout.pixels;
        });
        size_t index = 0;
        if (same != layouts.rend()) {
            index = static_cast<size_t>(layouts.rend() - same) - 1;
        } else {
            index = layouts.size();
            layouts.push_back(std::move(layout));
        }
        const auto line = static_cast<size_t>(y);
        layoutOf[line] = index;
        sameAsAbove[line] = y > 0 && layoutOf[line - 1] == index && SourceRowOf(y - 1) == SourceRowOf(y);
    }
}

// Scales a probe whose every pixel names its own column and row into an empty client
// area, and reads back which dot each client pixel shows.
void PreviewCanvas::PrepareMaps() {
    if (rows > kMaxProbeRows || drawnColumns > kMaxProbeColumns)
        return;
    QImage probe(drawnColumns, rows, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < rows; ++y) {
        QRgb* line = Line(probe, y);
        for (int x = 0; x < drawnColumns; ++x)
            line[x] = kDark | QRgb(y) << 16 | QRgb(x);
    }
    QImage target(client, QImage::Format_ARGB32_Premultiplied);
    target.fill(0);
    {
        QPainter painter(&target);
        painter.drawImage(QRectF(1, 1, innerWidth, innerHeight), probe, QRectF(0, 0, shownDots, rows));
    }
    std::vector<int> columns(static_cast<size_t>(client.width()), -1);
    std::vector<int> lines(static_cast<size_t>(client.height()), -1);
    qint64 shown = 0;
    const auto agree = [](int& slot, int value) {
        if (slot < 0)
            slot = value;
        return slot == value;
    };
    for (int y = 0; y < client.height(); ++y) {
        const QRgb* line = Line(target, y);
        for (int x = 0; x < client.width(); ++x) {
            const QRgb pixel = line[x];
            if (pixel == 0)
                continue;
            if (qAlpha(pixel) != 255 || !agree(columns[static_cast<size_t>(x)], int(pixel & 0xFFFF)) ||
                !agree(lines[static_cast<size_t>(y)], int(pixel >> 16 & 0xFF)))
                return;
            ++shown;
        }
    }
    int columnEnd = 0;
    int rowEnd = 0;
    if (!OneBlock(columns, &columnFirst, &columnEnd) || !OneBlock(lines, &rowFirst, &rowEnd) ||
        shown != qint64(columnEnd - columnFirst) * (rowEnd - rowFirst))
        return;
    pixelColumn.assign(columns.begin() + columnFirst, columns.begin() + columnEnd);
    sourceRow.assign(lines.begin() + rowFirst, lines.begin() + rowEnd);
    mapped = true;
}

QList<QLineF> PreviewCanvas::GridLines() const {
    const double k = double(innerHeight) / rows;
    QList<QLineF> lines;
    for (int i = 1; i < rows; ++i)
        lines.append(QLineF(1, i * k, innerWidth - 1, i * k));
    const int columns = static_cast<int>(shownDots);
    for (int i = 1; i < columns; ++i)
        lines.append(QLineF(i * k, 1, i * k, innerHeight - 1));
    return lines;
}

// Strokes the grid into an empty client area and keeps the pixels it covers as spans.
void PreviewCanvas::PrepareGrid() {
    if (rows > 12)
        return;
    QImage target(client, QImage::Format_ARGB32_Premultiplied);
    target.fill(0);
    {
        QPainter painter(&target);
        painter.setPen(GridPen());
        painter.drawLines(GridLines());
    }
    for (int y = 0; y < client.height(); ++y) {
        const QRgb* line = Line(target, y);
        for (int x = 0; x < client.width();) {
            if (line[x] == 0) {
                ++x;
                continue;
            }
            const int start = x;
            for (; x < client.width() && line[x] != 0; ++x) {
                if (line[x] != GridColour) {
                    mapped = false; // a partly covered pixel: only QPainter can blend it
                    grid.clear();
                    return;
                }
            }
            grid.push_back(Span{y, start, x - start});
        }
    }
}

QImage PreviewCanvas::Paint(const QImage& dots) const {
    QImage preview = frame;
    QPainter painter(&preview);
    painter.drawImage(QRectF(1, 1, innerWidth, innerHeight), dots, QRectF(0, 0, shownDots, rows));
    if (rows <= 12) {
        painter.setPen(GridPen());
        painter.drawLines(GridLines());
    }
    return preview;
}

QImage PreviewCanvas::Compose(const QImage& dots) {
    if (!hasDots)
        return frame;
    if (!mapped || dots.size() != QSize(drawnColumns, rows) ||
        dots.format() != QImage::Format_ARGB32_Premultiplied || !RasterPixels::IsOpaque(dots))
        return Paint(dots);
    // Every pixel is written below, so a recycled preview serves as it is.
    QImage preview = std::move(spare);
    spare = QImage();
    if (preview.size() != client || preview.format() != QImage::Format_ARGB32_Premultiplied ||
        !preview.isDetached())
        preview = QImage(client, QImage::Format_ARGB32_Premultiplied);
    uchar* bits = preview.bits();
    const qsizetype stride = preview.bytesPerLine();
    const size_t lineBytes = static_cast<size_t>(client.width()) * sizeof(QRgb);
    for (int y = 0; y < client.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(bits + y * stride);
        const auto index = static_cast<size_t>(y);
        if (sameAsAbove[index]) {
            std::memcpy(line, bits + (y - 1) * stride, lineBytes);
            continue;
        }
        const LineLayout& layout = layouts[layoutOf[index]];
        std::memcpy(line, layout.pixels.data(), lineBytes);
        if (layout.runs.empty())
            continue;
        const auto* dotLine = reinterpret_cast<const QRgb*>(dots.constScanLine(SourceRowOf(y)));
        for (const DotRun& run : layout.runs) {
            const QRgb dot = dotLine[run.column];
            QRgb* to = line + run.x;
            switch (run.length) {
            case 3:
                to[2] = dot;
                [[fallthrough]];
            case 2:
                to[1] = dot;
                [[fallthrough]];
            case 1:
                to[0] = dot;
                break;
            default:
                std::fill_n(to, run.length, dot);
            }
        }
    }
    return preview;
}

} // namespace vexa
