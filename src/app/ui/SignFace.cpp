#include "app/ui/SignFace.h"

#include <QPainter>
#include <algorithm>
#include <cstring>

namespace vexa {

SignFace::SignFace(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void SignFace::SetFrame(const QImage& shown, int dotSize) {
    const bool resized = shown.size() != frame.size() || dotSize != zoom;
    frame = shown;
    zoom = dotSize;
    if (resized) {
        setFixedSize(sizeHint());
        updateGeometry();
    }
    update();
}

QSize SignFace::sizeHint() const {
    return {frame.width() * zoom + 2, frame.height() * zoom + 2};
}

void SignFace::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (frame.isNull()) {
        painter.fillRect(rect(), Qt::black);
        return;
    }
    canvas.SetGeometry(sizeHint(), frame.height());
    if (dots.size() != QSize(canvas.DrawnColumns(), frame.height()))
        dots = QImage(canvas.DrawnColumns(), frame.height(), QImage::Format_ARGB32_Premultiplied);
    dots.fill(0xFF000000u);
    const int copied = std::min(dots.width(), frame.width());
    for (int y = 0; y < frame.height(); ++y)
        std::memcpy(dots.scanLine(y), frame.constScanLine(y), size_t(copied) * sizeof(QRgb));
    painter.drawImage(QPoint(0, 0), canvas.Compose(dots));
}

} // namespace vexa
