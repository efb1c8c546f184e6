#include "Canvas.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace vexa::datagen {

namespace {

constexpr int kSamples = 4;
constexpr int kNeeded = kSamples * kSamples / 2;

double DistanceToSegment(double px, double py, double x0, double y0, double x1, double y1) {
    const double dx = x1 - x0;
    const double dy = y1 - y0;
    const double lengthSquared = dx * dx + dy * dy;
    double t = lengthSquared > 0 ? ((px - x0) * dx + (py - y0) * dy) / lengthSquared : 0.0;
    t = std::clamp(t, 0.0, 1.0);
    return std::hypot(px - (x0 + t * dx), py - (y0 + t * dy));
}

bool AngleWithin(double degrees, double from, double to) {
    auto normal = [](double a) {
        a = std::fmod(a, 360.0);
        return a < 0 ? a + 360.0 : a;
    };
    const double a = normal(degrees - from);
    const double span = to - from >= 360.0 ? 360.0 : normal(to - from);
    return a <= span;
}

} // namespace

Canvas::Canvas(int width, int height) : image(width, height) {}

void Canvas::Fill(Dot colour, const std::function<bool(double, double)>& inside) {
    for (int y = 0; y < image.Height(); ++y) {
        for (int x = 0; x < image.Width(); ++x) {
            int hits = 0;
            for (int sy = 0; sy < kSamples; ++sy) {
                for (int sx = 0; sx < kSamples; ++sx) {
                    const double px = x + (sx + 0.5) / kSamples;
                    const double py = y + (sy + 0.5) / kSamples;
                    hits += inside(px, py) ? 1 : 0;
                }
            }
            if (hits >= kNeeded) {
                image.Set(x, y, colour);
            }
        }
    }
}

void Canvas::Disc(Dot colour, double cx, double cy, double radius) {
    Ellipse(colour, cx, cy, radius, radius);
}

void Canvas::Ellipse(Dot colour, double cx, double cy, double rx, double ry) {
    Fill(colour, [=](double x, double y) {
        const double u = (x - cx) / rx;
        const double v = (y - cy) / ry;
        return u * u + v * v <= 1.0;
    });
}

void Canvas::Ring(Dot colour, double cx, double cy, double radius, double thickness) {
    Arc(colour, cx, cy, radius, thickness, 0, 360);
}

void Canvas::Arc(Dot colour, double cx, double cy, double radius, double thickness, double fromDegrees,
                 double toDegrees) {
    Fill(colour, [=](double x, double y) {
        const double distance = std::hypot(x - cx, y - cy);
        if (std::abs(distance - radius) > thickness / 2) {
            return false;
        }
        const double degrees = std::atan2(y - cy, x - cx) * 180.0 / std::numbers::pi;
        return AngleWithin(degrees, fromDegrees, toDegrees);
    });
}

void Canvas::Line(Dot colour, double x0, double y0, double x1, double y1, double thickness) {
    Fill(colour,
         [=](double x, double y) { return DistanceToSegment(x, y, x0, y0, x1, y1) <= thickness / 2; });
}

void Canvas::Polygon(Dot colour, const std::vector<QPointF>& points) {
    Fill(colour, [&points](double x, double y) {
        bool inside = false;
        for (std::size_t i = 0, j = points.size() - 1; i < points.size(); j = i++) {
            const QPointF& a = points[i];
            const QPointF& b = points[j];
            if ((a.y() > y) != (b.y() > y) && x < (b.x() - a.x()) * (y - a.y()) / (b.y() - a.y()) + a.x()) {
                inside = !inside;
            }
        }
        return inside;
    });
}

void Canvas::Rect(Dot colour, double left, double top, double right, double bottom) {
    Fill(colour, [=](double x, double y) { return x >= left && x < right && y >= top && y < bottom; });
}

void Canvas::Dots(Dot colour, int x, int y, int width, int height) {
    for (int row = y; row < y + height; ++row) {
        for (int column = x; column < x + width; ++column) {
            image.Set(column, row, colour);
        }
    }
}

} // namespace vexa::datagen
