#include "render/PreviewCanvas.h"

#include <QPainter>
#include <QRandomGenerator>
#include <QtTest>

using namespace vexa;

namespace {

// The preview as QPainter paints it: border, dots scaled to the client area, the grid
// stroked with a cosmetic pen.
QImage Painted(QSize client, int rows, const QImage& dots, double shownDots) {
    const int w = client.width();
    const int h = client.height();
    QImage outer(w, h, QImage::Format_ARGB32_Premultiplied);
    outer.fill(0xFF000000);
    QPainter painter(&outer);
    painter.setPen(QColor::fromRgb(PreviewCanvas::BorderColour));
    painter.drawRect(0, 0, w - 1, h - 1);
    const int innerWidth = w - 2;
    const int innerHeight = h - 2;
    if (innerWidth <= 0 || innerHeight <= 0)
        return outer;
    const double k = double(innerHeight) / rows;
    painter.drawImage(QRectF(1, 1, innerWidth, innerHeight), dots, QRectF(0, 0, shownDots, rows));
    if (rows <= 12) {
        QPen grid(QColor::fromRgb(PreviewCanvas::GridColour));
        grid.setWidth(0);
        grid.setCosmetic(true);
        painter.setPen(grid);
        QList<QLineF> lines;
        for (int i = 1; i < rows; ++i)
            lines.append(QLineF(1, i * k, innerWidth - 1, i * k));
        for (int i = 1; i < static_cast<int>(shownDots); ++i)
            lines.append(QLineF(i * k, 1, i * k, innerHeight - 1));
        painter.drawLines(lines);
    }
    return outer;
}

QImage RandomDots(int columns, int rows, QRandomGenerator& random, bool opaque) {
    static constexpr QRgb kColours[] = {0xFF000000, 0xFFFF0000, 0xFF00FF00, 0xFFFFFF00, 0xFF808080};
    QImage dots(columns, rows, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < rows; ++y)
        for (int x = 0; x < columns; ++x)
            dots.setPixel(x, y, kColours[random.bounded(5)]);
    if (!opaque)
        dots.setPixel(0, 0, 0x80400000);
    return dots;
}

} // namespace

class TestPreviewCanvas : public QObject {
    Q_OBJECT

private slots:
    // Composed previews hold exactly the pixels QPainter paints, for whole and fractional
    // dot sizes, with and without grid, for translucent dots and the same canvas reused.
    void composesWhatQPainterPaints() {
        QRandomGenerator random(15);
        PreviewCanvas canvas;
        for (const int rows : {7, 12, 16, 5}) {
            for (const QSize client :
                 {QSize(642, rows * 3 + 2), QSize(400, rows * 4 + 5), QSize(97, rows * 2 + 3),
                  QSize(333, rows + 1), QSize(50, 7), QSize(3, 3), QSize(1, 1)}) {
                canvas.SetGeometry(client, rows);
                const double shownDots = (client.width() - 2) / (double(client.height() - 2) / rows);
                for (const bool opaque : {true, true, false}) {
                    const QImage dots =
                        canvas.HasDots() ? RandomDots(canvas.DrawnColumns(), rows, random, opaque) : QImage();
                    const QImage expected = canvas.HasDots() ? Painted(client, rows, dots, shownDots)
                                                             : Painted(client, rows, QImage(), 0);
                    QCOMPARE(canvas.Compose(dots), expected);
                }
            }
        }
    }
};

QTEST_MAIN(TestPreviewCanvas)
#include "tst_previewcanvas.moc"
