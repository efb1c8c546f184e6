#pragma once

#include <QImage>
#include <QLineF>
#include <QList>
#include <QRgb>
#include <QSize>
#include <vector>

namespace vexa {

// The enlarged preview of a message for one client size and model height: a 1-pixel
// border, black inside, every dot of the content raster shown as a block of pixels and,
// for 12 rows or less, a grid between the dots.
//
// What depends on the geometry alone is worked out once per geometry: the frame (black
// with its border), which client pixel shows which dot, and which pixels the grid covers.
// Both maps are read back from QPainter's own drawing of a probe, so a composed preview
// holds exactly the pixels QPainter would paint, while composing it only copies dots. A
// geometry whose drawing does not reduce to such maps, or a content raster with
// translucent pixels, is painted with QPainter as it is.
class PreviewCanvas {
public:
    static constexpr QRgb BorderColour = 0xFFAD20F0;
    static constexpr QRgb GridColour = 0xFF1E1E1E;

    // Prepares the geometry of a client area (at least 1 x 1 pixel) for a model height.
    // Keeps what was prepared when nothing changed.
    void SetGeometry(QSize client, int rows);

    // False when the client area has no room inside its border (or rows <= 0): the
    // preview is the frame alone.
    bool HasDots() const { return hasDots; }
    // Columns of the content raster that the client area can show (a part of a dot
    // included); Compose wants a raster of DrawnColumns() x rows pixels.
    int DrawnColumns() const { return drawnColumns; }

    // The preview of a content raster (one pixel per dot, DrawnColumns() x rows,
    // premultiplied ARGB).
    QImage Compose(const QImage& dots);
    // Hands back a preview no longer needed: when nobody else holds it, the next preview
    // of the same size is composed into its pixels instead of new ones.
    void Recycle(QImage preview) { spare = std::move(preview); }

private:
    struct Span {
        int y, x, length;
    };
    // Client pixels x .. x + length - 1 of a line showing one column of the dots.
    struct DotRun {
        int x, length, column;
        bool operator==(const DotRun&) const = default;
    };
    // What a client line shows apart from the dots: its frame and grid pixels, and where
    // its dots go. Lines of the same layout share one.
    struct LineLayout {
        std::vector<QRgb> pixels; // the frame with the grid on it
        std::vector<DotRun> runs; // the dot pixels the grid leaves free
    };

    void PrepareMaps();
    void PrepareGrid();
    void PrepareLines();
    LineLayout LayoutOfLine(int y, const std::vector<Span>& spans) const;
    int SourceRowOf(int y) const;
    QList<QLineF> GridLines() const;
    QImage Paint(const QImage& dots) const;

    QSize client;
    int rows = -1;
    bool hasDots = false;
    int innerWidth = 0;
    int innerHeight = 0;
    double shownDots = 0;
    int drawnColumns = 0;
    QImage frame;
    QImage spare; // a recycled preview

    // Client pixels columnFirst.. (one per entry of pixelColumn) x rowFirst.. (one per
    // entry of sourceRow) show the dots; the others show the frame.
    bool mapped = false;
    int columnFirst = 0;
    int rowFirst = 0;
    std::vector<int> pixelColumn;
    std::vector<int> sourceRow;
    std::vector<Span> grid;          // in line order
    std::vector<LineLayout> layouts; // the distinct line layouts
    std::vector<size_t> layoutOf;    // per client line
    std::vector<bool> sameAsAbove;   // line y holds the same pixels as line y - 1
};

} // namespace vexa
