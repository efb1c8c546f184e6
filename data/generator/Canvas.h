#pragma once

#include "DotImage.h"

#include <QPointF>
#include <functional>
#include <vector>

namespace vexa::datagen {

// Rasterises simple shapes onto sign dots. Coordinates are in dots: the dot (x, y)
// covers the square [x, x+1) x [y, y+1). A dot takes a shape's colour when at least
// half of its 4x4 sample points lie inside the shape, so curves stay smooth at the
// small sizes of a sign. Later shapes paint over earlier ones; Dot::Dark erases.
class Canvas {
public:
    Canvas(int width, int height);

    int Width() const { return image.Width(); }
    int Height() const { return image.Height(); }
    const DotImage& Image() const { return image; }

    void Fill(Dot colour, const std::function<bool(double, double)>& inside);
    void Disc(Dot colour, double cx, double cy, double radius);
    void Ellipse(Dot colour, double cx, double cy, double rx, double ry);
    void Ring(Dot colour, double cx, double cy, double radius, double thickness);
    // Part of a ring between two angles in degrees, 0 pointing right, 90 pointing down.
    void Arc(Dot colour, double cx, double cy, double radius, double thickness, double fromDegrees,
             double toDegrees);
    // A stroke with round ends.
    void Line(Dot colour, double x0, double y0, double x1, double y1, double thickness);
    void Polygon(Dot colour, const std::vector<QPointF>& points);
    void Rect(Dot colour, double left, double top, double right, double bottom);
    void Dots(Dot colour, int x, int y, int width = 1, int height = 1);

private:
    DotImage image;
};

} // namespace vexa::datagen
