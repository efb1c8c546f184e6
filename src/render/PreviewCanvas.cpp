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
    shownWidth = 0;
    dotRuns.clear();
    sourceRow.clear();
    grid.clear();
    gridFirst.clear();
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
        PrepareRows();
}

// Where each row's grid spans start, and which rows repeat the row above them: the same
// frame pixels, the same row of dots (or none) and the same grid spans.
void PreviewCanvas::PrepareRows() {
    const auto height = static_cast<size_t>(client.height());
    gridFirst.assign(height + 1, 0);
    for (const Span& span : grid)
        ++gridFirst[static_cast<size_t>(span.y) + 1];
    for (size_t y = 0; y < height; ++y)
        gridFirst[y + 1] += gridFirst[y];
    const auto source = [this](int y) {
        const int i = y - rowFirst;
        return i >= 0 && i < static_cast<int>(sourceRow.size()) ? sourceRow[static_cast<size_t>(i)] : -1;
    };
    const auto sameSpans = [this](size_t a, size_t b) {
        const size_t count = gridFirst[a + 1] - gridFirst[a];
        if (count != gridFirst[b + 1] - gridFirst[b])
            return false;
        for (size_t i = 0; i < count; ++i) {
            const Span& p = grid[gridFirst[a] + i];
            const Span& q = grid[gridFirst[b] + i];
            if (p.x != q.x || p.length != q.length)
                return false;
        }
        return true;
    };
    const size_t lineBytes = static_cast<size_t>(client.width()) * sizeof(QRgb);
    sameAsAbove.assign(height, false);
    for (size_t y = 1; y < height; ++y) {
        const int row = static_cast<int>(y);
        sameAsAbove[y] = source(row) == source(row - 1) && sameSpans(y, y - 1) &&
                         std::memcmp(frame.constScanLine(row), frame.constScanLine(row - 1), lineBytes) == 0;
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
    shownWidth = columnEnd - columnFirst;
    for (int x = columnFirst; x < columnEnd; ++x) {
        const int column = columns[static_cast<size_t>(x)];
        if (dotRuns.empty() || dotRuns.back().column != column)
            dotRuns.push_back(DotRun{column, 0});
        ++dotRuns.back().length;
    }
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
    const auto lineAt = [bits, stride](int y) { return reinterpret_cast<QRgb*>(bits + y * stride); };
    const auto frameLine = [this](int y) { return reinterpret_cast<const QRgb*>(frame.constScanLine(y)); };
    const auto copyFrame = [&](int y, int x, qsizetype count) {
        if (count > 0)
            std::memcpy(lineAt(y) + x, frameLine(y) + x, static_cast<size_t>(count) * sizeof(QRgb));
    };
    const int width = client.width();
    const int rowEnd = rowFirst + static_cast<int>(sourceRow.size());
    const int columnEnd = columnFirst + shownWidth;
    for (int y = 0; y < client.height(); ++y) {
        QRgb* line = lineAt(y);
        if (sameAsAbove[static_cast<size_t>(y)]) {
            std::memcpy(line, lineAt(y - 1), static_cast<size_t>(width) * sizeof(QRgb));
            continue;
        }
        if (y < rowFirst || y >= rowEnd) {
            copyFrame(y, 0, width);
        } else {
            copyFrame(y, 0, columnFirst);
            copyFrame(y, columnEnd, width - columnEnd);
            const auto* dotLine =
                reinterpret_cast<const QRgb*>(dots.constScanLine(sourceRow[size_t(y - rowFirst)]));
            // A dot of up to four pixels is written as four: the next dot overwrites what
            // lies beyond it, and the last dots, too close to the end, are written exactly.
            int x = columnFirst;
            const int fourFit = columnEnd - 4;
            for (const DotRun& run : dotRuns) {
                const QRgb dot = dotLine[run.column];
                if (run.length <= 4 && x <= fourFit) {
                    line[x] = line[x + 1] = line[x + 2] = line[x + 3] = dot;
                    x += run.length;
                    continue;
                }
                for (int i = 0; i < run.length; ++i)
                    line[x++] = dot;
            }
        }
        for (size_t i = gridFirst[static_cast<size_t>(y)]; i < gridFirst[static_cast<size_t>(y) + 1]; ++i) {
            const Span& span = grid[i];
            if (span.length == 1)
                line[span.x] = GridColour;
            else
                std::fill_n(line + span.x, span.length, GridColour);
        }
    }
    return preview;
}

} // namespace vexa
