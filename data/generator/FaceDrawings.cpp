#include "FaceDrawings.h"

#include "Canvas.h"

#include <QPointF>
#include <algorithm>
#include <cmath>
#include <functional>
#include <numbers>
#include <vector>

namespace vexa::datagen {

namespace {

constexpr Dot R = Dot::Red;
constexpr Dot G = Dot::Green;
constexpr Dot Y = Dot::Yellow;
constexpr Dot K = Dot::Dark;

// A Canvas addressed in units of a 16-unit high grid; strokes never get thinner than
// one dot so that lines stay unbroken on the 12-row sign.
class Sketch {
public:
    Sketch(int height, double widthUnits)
        : scale(height / 16.0), canvas(static_cast<int>(std::lround(widthUnits * scale)), height) {}

    double U(double v) const { return v * scale; }
    double T(double t) const { return std::max(1.15, t * scale); }

    void Fill(Dot c, const std::function<bool(double, double)>& inside) {
        canvas.Fill(c, [&](double x, double y) { return inside(x / scale, y / scale); });
    }
    void Disc(Dot c, double x, double y, double r) { canvas.Disc(c, U(x), U(y), U(r)); }
    void Ellipse(Dot c, double x, double y, double rx, double ry) {
        canvas.Ellipse(c, U(x), U(y), U(rx), U(ry));
    }
    void Ring(Dot c, double x, double y, double r, double t) { canvas.Ring(c, U(x), U(y), U(r), T(t)); }
    void Arc(Dot c, double x, double y, double r, double t, double from, double to) {
        canvas.Arc(c, U(x), U(y), U(r), T(t), from, to);
    }
    void Line(Dot c, double x0, double y0, double x1, double y1, double t) {
        canvas.Line(c, U(x0), U(y0), U(x1), U(y1), T(t));
    }
    void Rect(Dot c, double l, double t, double r, double b) { canvas.Rect(c, U(l), U(t), U(r), U(b)); }
    void Polygon(Dot c, const std::vector<QPointF>& points) {
        std::vector<QPointF> scaled;
        scaled.reserve(points.size());
        for (const QPointF& p : points) {
            scaled.emplace_back(U(p.x()), U(p.y()));
        }
        canvas.Polygon(c, scaled);
    }
    DotImage Image() const { return canvas.Image(); }

private:
    double scale;
    Canvas canvas;
};

std::vector<QPointF> Moved(std::vector<QPointF> points, double dx, double dy) {
    for (QPointF& p : points) {
        p += QPointF(dx, dy);
    }
    return points;
}

std::vector<QPointF> Rotated(std::vector<QPointF> points, QPointF pivot, double degrees) {
    const double a = degrees * std::numbers::pi / 180.0;
    for (QPointF& p : points) {
        const QPointF d = p - pivot;
        p = pivot +
            QPointF(d.x() * std::cos(a) - d.y() * std::sin(a), d.x() * std::sin(a) + d.y() * std::cos(a));
    }
    return points;
}

std::vector<QPointF> Star(double cx, double cy, double outer, double inner, int points, double rotation) {
    std::vector<QPointF> star;
    for (int i = 0; i < points * 2; ++i) {
        const double r = i % 2 == 0 ? outer : inner;
        const double a = (rotation - 90.0 + i * 180.0 / points) * std::numbers::pi / 180.0;
        star.emplace_back(cx + r * std::cos(a), cy + r * std::sin(a));
    }
    return star;
}

// --- faces -----------------------------------------------------------------------

void Face(Sketch& s, Dot colour = Y) {
    s.Disc(colour, 8, 8, 7.6);
}
void OpenEyes(Sketch& s) {
    s.Ellipse(K, 5.4, 6.0, 1.1, 1.7);
    s.Ellipse(K, 10.6, 6.0, 1.1, 1.7);
}
void ClosedEye(Sketch& s, double x) {
    s.Line(K, x - 1.3, 6.2, x + 1.3, 6.2, 1.2);
}
void Smile(Sketch& s) {
    s.Arc(K, 8, 8.2, 4.4, 1.3, 25, 155);
}

void DrawSmile(Sketch& s, int frame) {
    Face(s);
    if (frame == 0) {
        OpenEyes(s);
    } else {
        ClosedEye(s, 5.4);
        ClosedEye(s, 10.6);
    }
    Smile(s);
}

void DrawWink(Sketch& s, int frame) {
    Face(s);
    s.Ellipse(K, 10.6, 6.0, 1.1, 1.7);
    if (frame == 1) {
        s.Ellipse(K, 5.4, 6.0, 1.1, 1.7);
        Smile(s);
    } else {
        s.Line(K, 3.8, 6.6, 7.0, 6.6, 1.2);
        s.Arc(K, 8, 7.6, 4.8, 1.3, 15, 165);
    }
}

void DrawLaugh(Sketch& s, int frame) {
    Face(s);
    ClosedEye(s, 5.4);
    ClosedEye(s, 10.6);
    const double depth = frame == 0 ? 4.2 : 2.6;
    s.Fill(K, [depth](double x, double y) {
        const double u = (x - 8) / 4.6;
        const double v = (y - 9.0) / depth;
        return y >= 9.0 && u * u + v * v <= 1.0;
    });
}

void DrawSad(Sketch& s, int frame) {
    Face(s);
    OpenEyes(s);
    s.Arc(K, 8, 14.2, 4.2, 1.3, 215, 325);
    if (frame == 1) {
        s.Ellipse(K, 4.6, 10.6, 0.9, 1.4);
    } else {
        s.Ellipse(K, 4.8, 8.6, 0.7, 0.8);
    }
}

void DrawSurprised(Sketch& s, int frame) {
    Face(s);
    s.Disc(K, 5.4, 5.8, 1.5);
    s.Disc(K, 10.6, 5.8, 1.5);
    if (frame == 0) {
        s.Ellipse(K, 8, 11.2, 1.4, 1.6);
    } else {
        s.Ellipse(K, 8, 11.0, 2.4, 2.8);
    }
}

void DrawAngry(Sketch& s, int frame) {
    Face(s, frame == 0 ? R : Y);
    s.Line(K, 3.4, 4.0, 7.0, 5.6, 1.3);
    s.Line(K, 12.6, 4.0, 9.0, 5.6, 1.3);
    s.Disc(K, 5.6, 7.4, 1.1);
    s.Disc(K, 10.4, 7.4, 1.1);
    s.Arc(K, 8, 15.0, 4.6, 1.3, 230, 310);
}

// --- symbols ---------------------------------------------------------------------

bool InsideHeart(double x, double y, double cx, double cy, double size) {
    const double u = (x - cx) / size;
    const double v = -(y - cy) / size;
    const double a = u * u + v * v - 1.0;
    return a * a * a - u * u * v * v * v <= 0.0;
}

void DrawHeart(Sketch& s, int frame) {
    const double size = frame == 0 ? 6.4 : 4.6;
    s.Fill(R, [size](double x, double y) { return InsideHeart(x, y, 8, 8.4, size); });
}

void DrawTwinkle(Sketch& s, int frame) {
    if (frame == 0) {
        s.Polygon(Y, Star(8, 8.6, 7.8, 3.2, 5, 0));
    } else {
        s.Polygon(Y, Star(8, 8.6, 5.2, 2.2, 5, 36));
        for (auto [x, y] : {std::pair{2.0, 2.5}, {14.0, 2.5}, {2.0, 14.0}, {14.0, 14.0}}) {
            s.Line(Y, x - 1.3, y, x + 1.3, y, 1.0);
            s.Line(Y, x, y - 1.3, x, y + 1.3, 1.0);
        }
    }
}

std::vector<QPointF> ArrowRight() {
    return {{0.5, 5.5}, {6.5, 5.5}, {6.5, 1.5}, {13.0, 8.0}, {6.5, 14.5}, {6.5, 10.5}, {0.5, 10.5}};
}

void DrawArrow(Sketch& s, int frame, double degrees) {
    const double shift = frame == 0 ? 0.0 : 3.0;
    s.Polygon(G, Rotated(Moved(ArrowRight(), shift, 0), {8, 8}, degrees));
}

void DrawChevrons(Sketch& s, int frame) {
    for (int i = 0; i < 4; ++i) {
        const double x = 1.0 + i * 5.0;
        const Dot colour = (i % 2 == frame) ? G : Y;
        if ((i + frame) % 2 == 0 || i == 3 - frame) {
            s.Polygon(colour, {{x, 2}, {x + 2.6, 2}, {x + 7.6, 8}, {x + 2.6, 14}, {x, 14}, {x + 5, 8}});
        }
    }
}

void DrawSun(Sketch& s, int frame) {
    s.Disc(Y, 8, 8, 3.8);
    for (int i = 0; i < 8; ++i) {
        const double a = (i * 45.0 + (frame == 0 ? 0.0 : 22.5)) * std::numbers::pi / 180.0;
        s.Line(R, 8 + 5.4 * std::cos(a), 8 + 5.4 * std::sin(a), 8 + 7.4 * std::cos(a), 8 + 7.4 * std::sin(a),
               1.3);
    }
}

void DrawMoon(Sketch& s, int frame) {
    s.Disc(Y, 6.5, 8.5, 6.8);
    s.Disc(K, 10.0, 6.6, 5.6);
    if (frame == 0) {
        s.Polygon(Y, Star(12.6, 4.0, 2.4, 1.0, 4, 0));
    } else {
        s.Polygon(Y, Star(12.6, 4.0, 3.6, 0.9, 4, 45));
        s.Disc(Y, 14.2, 10.2, 0.7);
    }
}

void Cloud(Sketch& s, Dot colour, double dy) {
    s.Disc(colour, 5.0, 6.5 + dy, 3.2);
    s.Disc(colour, 9.5, 5.0 + dy, 4.0);
    s.Disc(colour, 12.6, 7.6 + dy, 2.6);
    s.Rect(colour, 3.0, 6.8 + dy, 13.5, 10.2 + dy);
}

void DrawRain(Sketch& s, int frame) {
    Cloud(s, Y, -1.0);
    const double offset = frame == 0 ? 0.0 : 2.6;
    for (double x : {4.0, 8.0, 12.0}) {
        const double y = 11.2 + std::fmod(offset + (x == 8.0 ? 1.6 : 0.0), 3.6);
        s.Line(G, x, y, x - 0.8, y + 1.6, 1.1);
    }
}

void DrawWarning(Sketch& s, int frame) {
    const std::vector<QPointF> triangle = {{8, 0.6}, {15.6, 15.0}, {0.4, 15.0}};
    if (frame == 0) {
        s.Polygon(R, triangle);
        s.Polygon(K, {{8, 4.2}, {12.6, 13.0}, {3.4, 13.0}});
        s.Line(Y, 8, 6.6, 8, 9.8, 1.5);
        s.Disc(Y, 8, 11.8, 0.8);
    } else {
        s.Polygon(Y, triangle);
        s.Line(K, 8, 5.2, 8, 10.2, 1.7);
        s.Disc(K, 8, 12.6, 0.9);
    }
}

void DrawNotes(Sketch& s, int frame) {
    const double dy = frame == 0 ? 0.0 : -2.4;
    s.Ellipse(G, 4.2, 12.4 + dy, 2.2, 1.7);
    s.Ellipse(G, 11.6, 11.0 + dy, 2.2, 1.7);
    s.Line(G, 5.9, 12.2 + dy, 5.9, 3.6 + dy, 1.3);
    s.Line(G, 13.3, 10.8 + dy, 13.3, 2.2 + dy, 1.3);
    s.Line(G, 5.9, 3.6 + dy, 13.3, 2.2 + dy, 2.0);
}

void DrawBell(Sketch& s, int frame) {
    const double degrees = frame == 0 ? -12.0 : 12.0;
    const QPointF pivot(8, 0.5);
    const std::vector<QPointF> bell = {{8, 1.0},    {10.2, 2.4}, {10.9, 6.0}, {11.4, 9.6}, {13.2, 12.0},
                                       {2.8, 12.0}, {4.6, 9.6},  {5.1, 6.0},  {5.8, 2.4}};
    s.Polygon(Y, Rotated(bell, pivot, degrees));
    const std::vector<QPointF> clapper = Rotated({{8, 13.6}}, pivot, degrees * 1.5);
    s.Disc(R, clapper[0].x(), clapper[0].y(), 1.5);
}

void DrawClock(Sketch& s, int frame) {
    s.Ring(Y, 8, 8, 6.9, 1.4);
    for (int i = 0; i < 4; ++i) {
        const double a = i * std::numbers::pi / 2;
        s.Disc(Y, 8 + 4.9 * std::cos(a), 8 + 4.9 * std::sin(a), 0.6);
    }
    const double minute = (frame == 0 ? -90.0 : 0.0) * std::numbers::pi / 180.0;
    const double hour = 120.0 * std::numbers::pi / 180.0;
    s.Line(R, 8, 8, 8 + 4.6 * std::cos(minute), 8 + 4.6 * std::sin(minute), 1.3);
    s.Line(R, 8, 8, 8 + 3.2 * std::cos(hour), 8 + 3.2 * std::sin(hour), 1.5);
}

void DrawPhone(Sketch& s, int frame) {
    const double lift = frame == 0 ? -2.0 : 0.0;
    s.Polygon(G, {{3.0, 15.0}, {13.0, 15.0}, {12.0, 8.6}, {4.0, 8.6}});
    s.Disc(K, 8, 11.8, 1.5);
    s.Polygon(G, Moved({{1.5, 5.0},
                        {14.5, 5.0},
                        {14.5, 7.4},
                        {11.4, 7.4},
                        {11.4, 6.4},
                        {4.6, 6.4},
                        {4.6, 7.4},
                        {1.5, 7.4}},
                       0, lift));
    if (frame == 0) {
        s.Line(Y, 0.8, 1.0, 2.2, 2.4, 1.1);
        s.Line(Y, 15.2, 1.0, 13.8, 2.4, 1.1);
        s.Line(Y, 0.6, 7.6, 2.4, 7.6, 1.1);
        s.Line(Y, 15.4, 7.6, 13.6, 7.6, 1.1);
    }
}

void DrawCoffee(Sketch& s, int frame) {
    s.Polygon(R, {{2.0, 8.0}, {12.0, 8.0}, {11.0, 14.6}, {3.0, 14.6}});
    s.Arc(R, 12.0, 10.6, 2.2, 1.2, 270, 450);
    const double phase = frame == 0 ? 0.0 : std::numbers::pi;
    for (double x : {4.6, 9.0}) {
        for (double y = 1.0; y < 6.6; y += 0.25) {
            const double dx = 1.0 * std::sin(y * 1.1 + phase + x);
            s.Disc(Y, x + dx, y, 0.55);
        }
    }
}

void DrawGift(Sketch& s, int frame) {
    const double lid = frame == 0 ? 0.0 : -3.0;
    s.Rect(R, 2.0, 8.0, 14.0, 15.5);
    s.Rect(G, 7.0, 8.0, 9.0, 15.5);
    s.Rect(R, 1.0, 5.4 + lid, 15.0, 7.8 + lid);
    s.Rect(G, 7.0, 5.4 + lid, 9.0, 7.8 + lid);
    s.Ellipse(G, 5.6, 3.8 + lid, 2.2, 1.3);
    s.Ellipse(G, 10.4, 3.8 + lid, 2.2, 1.3);
    if (frame == 1) {
        s.Polygon(Y, Star(8, 6.2, 2.4, 0.9, 4, 0));
    }
}

void DrawCheck(Sketch& s, int frame) {
    if (frame == 1) {
        s.Ring(G, 8, 8, 7.0, 1.3);
    }
    const Dot colour = frame == 0 ? G : Y;
    s.Line(colour, 3.6, 8.4, 6.8, 11.6, 2.2);
    s.Line(colour, 6.8, 11.6, 12.6, 4.2, 2.2);
}

void DrawNoEntry(Sketch& s, int frame) {
    if (frame == 0) {
        s.Disc(R, 8, 8, 7.6);
        s.Rect(K, 3.0, 6.6, 13.0, 9.4);
    } else {
        s.Ring(R, 8, 8, 6.9, 1.4);
        s.Rect(R, 3.4, 6.6, 12.6, 9.4);
    }
}

void DrawCar(Sketch& s, int frame) {
    const double x = frame == 0 ? 3.0 : 4.0;
    const double bounce = frame == 0 ? 0.0 : -0.6;
    s.Polygon(R, Moved({{0, 8.0},
                        {4.0, 7.6},
                        {6.4, 3.6},
                        {13.0, 3.6},
                        {15.6, 7.6},
                        {18.0, 8.2},
                        {18.0, 12.0},
                        {0, 12.0}},
                       x, bounce));
    s.Polygon(Y, Moved({{6.6, 7.4}, {7.8, 4.8}, {9.4, 4.8}, {9.4, 7.4}}, x, bounce));
    s.Polygon(Y, Moved({{10.6, 7.4}, {10.6, 4.8}, {12.4, 4.8}, {13.8, 7.4}}, x, bounce));
    for (double wheel : {4.0, 14.0}) {
        s.Disc(K, x + wheel, 12.6, 2.8);
        s.Disc(Y, x + wheel, 12.6, 1.9);
        s.Disc(K, x + wheel, 12.6, 0.7);
    }
    if (frame == 0) {
        s.Line(G, 0.2, 6.0, 2.0, 6.0, 1.0);
        s.Line(G, 0.2, 9.6, 2.0, 9.6, 1.0);
    }
}

void DrawFlower(Sketch& s, int frame) {
    s.Line(G, 8, 8, 8, 16, 1.4);
    s.Ellipse(G, 5.0, 12.8, 2.4, 1.1);
    if (frame == 0) {
        s.Ellipse(R, 8, 6.0, 2.6, 3.6);
        s.Polygon(G, {{5.2, 7.0}, {10.8, 7.0}, {8, 10.4}});
    } else {
        for (int i = 0; i < 6; ++i) {
            const double a = i * std::numbers::pi / 3;
            s.Disc(Y, 8 + 3.6 * std::cos(a), 6.4 + 3.6 * std::sin(a), 2.2);
        }
        s.Disc(R, 8, 6.4, 2.0);
    }
}

void DrawTree(Sketch& s, int frame) {
    s.Polygon(G, {{8, 0.4},
                  {12.0, 6.0},
                  {10.2, 6.0},
                  {14.0, 11.0},
                  {11.6, 11.0},
                  {15.4, 14.0},
                  {0.6, 14.0},
                  {4.4, 11.0},
                  {2.0, 11.0},
                  {5.8, 6.0},
                  {4.0, 6.0}});
    s.Rect(R, 6.8, 14.0, 9.2, 16.0);
    const std::vector<QPointF> lights = {{8, 4.2},    {6.0, 8.2},  {10.4, 8.8},
                                         {4.4, 12.4}, {8.6, 11.8}, {12.0, 12.6}};
    for (std::size_t i = 0; i < lights.size(); ++i) {
        const Dot colour = (i + static_cast<std::size_t>(frame)) % 2 == 0 ? Y : R;
        s.Disc(colour, lights[i].x(), lights[i].y(), 0.9);
    }
}

void DrawFlame(Sketch& s, int frame) {
    const double lean = frame == 0 ? -1.6 : 1.6;
    s.Polygon(R, {{8 + lean, 0.4},
                  {12.4, 6.6},
                  {13.6, 11.0},
                  {11.6, 15.0},
                  {4.4, 15.0},
                  {2.4, 11.0},
                  {4.0, 7.0},
                  {5.6, 8.6}});
    s.Polygon(Y, {{8 - lean * 0.6, 5.6}, {10.6, 10.0}, {10.2, 13.8}, {5.8, 13.8}, {5.6, 10.4}});
}

void DrawEnvelope(Sketch& s, int frame) {
    if (frame == 1) {
        s.Polygon(Y, {{1.0, 7.0}, {8, 1.4}, {15.0, 7.0}});
        s.Polygon(K, {{3.2, 7.0}, {8, 3.2}, {12.8, 7.0}});
        s.Fill(R, [](double x, double y) { return InsideHeart(x, y, 8, 6.0, 2.6); });
    }
    s.Rect(Y, 1.0, 7.0, 15.0, 15.0);
    s.Rect(K, 2.2, 8.2, 13.8, 13.8);
    if (frame == 0) {
        s.Line(Y, 1.6, 7.6, 8, 12.0, 1.2);
        s.Line(Y, 14.4, 7.6, 8, 12.0, 1.2);
    } else {
        s.Line(Y, 1.6, 14.4, 6.4, 10.4, 1.2);
        s.Line(Y, 14.4, 14.4, 9.6, 10.4, 1.2);
    }
}

void DrawCoin(Sketch& s, int frame) {
    if (frame == 0) {
        s.Disc(Y, 8, 8, 7.6);
        s.Ring(K, 8, 8, 5.4, 1.1);
        s.Disc(K, 8, 8, 1.6);
    } else {
        s.Ellipse(Y, 8, 8, 3.0, 7.6);
        s.Line(K, 8, 2.4, 8, 13.6, 1.2);
    }
}

void DrawBird(Sketch& s, int frame) {
    // A bird seen from the front: wings up, then wings down.
    const double tip = frame == 0 ? 3.0 : 13.0;
    const double elbow = frame == 0 ? 7.6 : 10.8;
    s.Line(G, 0.9, tip, 4.8, elbow, 1.6);
    s.Line(G, 4.8, elbow, 8, 9.8, 1.6);
    s.Line(G, 15.1, tip, 11.2, elbow, 1.6);
    s.Line(G, 11.2, elbow, 8, 9.8, 1.6);
    s.Ellipse(Y, 8, 10.0, 1.4, 2.0);
}

struct Design {
    double widthUnits;
    void (*draw)(Sketch&, int);
};

const std::vector<Design>& Designs() {
    static const std::vector<Design> designs = {
        {16, DrawSmile},
        {16, DrawWink},
        {16, DrawLaugh},
        {16, DrawSad},
        {16, DrawSurprised},
        {16, DrawAngry},
        {16, DrawHeart},
        {16, DrawTwinkle},
        {16, [](Sketch& s, int f) { DrawArrow(s, f, 0); }},
        {16, [](Sketch& s, int f) { DrawArrow(s, f, 180); }},
        {16, [](Sketch& s, int f) { DrawArrow(s, f, 270); }},
        {16, [](Sketch& s, int f) { DrawArrow(s, f, 90); }},
        {22, DrawChevrons},
        {16, DrawSun},
        {16, DrawMoon},
        {16, DrawRain},
        {16, DrawWarning},
        {16, DrawNotes},
        {16, DrawBell},
        {16, DrawClock},
        {16, DrawPhone},
        {16, DrawCoffee},
        {16, DrawGift},
        {16, DrawCheck},
        {16, DrawNoEntry},
        {22, DrawCar},
        {16, DrawFlower},
        {16, DrawTree},
        {16, DrawFlame},
        {16, DrawEnvelope},
        {16, DrawCoin},
        {16, DrawBird},
    };
    return designs;
}

} // namespace

DotImage FaceDrawings::Draw(int n, int frame, int height) {
    if (n < 0 || n >= kCount || frame < 0 || frame > 1 || (height != 12 && height != 16)) {
        return DotImage();
    }
    const Design& design = Designs()[static_cast<std::size_t>(n)];
    Sketch sketch(height, design.widthUnits);
    design.draw(sketch, frame);
    return sketch.Image();
}

} // namespace vexa::datagen
