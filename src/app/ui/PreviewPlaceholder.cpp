#include "app/ui/PreviewPlaceholder.h"

#include <QMouseEvent>
#include <QPainter>

namespace vexa {

PreviewPlaceholder::PreviewPlaceholder(QWidget* parent) : QWidget(parent) {
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void PreviewPlaceholder::SetContent(const QString& text) {
    content = text;
    update();
}

void PreviewPlaceholder::SetPageAlign(bool align) {
    pageAlign = align ? 1 : 0;
    update();
}

void PreviewPlaceholder::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), Qt::black);
    p.setPen(QColor(0xad, 0x20, 0xf0));
    p.drawRect(0, 0, width() - 1, height() - 1);
    if (rows <= 0)
        return;
    const double k = (height() - 2) / static_cast<double>(rows);
    if (rows > 12 || k < 2)
        return;
    p.setPen(QPen(QColor(30, 30, 30), 0.6));
    for (int i = 1; i < rows; ++i)
        p.drawLine(QPointF(1, i * k), QPointF(width() - 2, i * k));
    const int columns = static_cast<int>((width() - 2) / k);
    for (int i = 1; i < columns; ++i)
        p.drawLine(QPointF(i * k, 1), QPointF(i * k, height() - 2));
}

void PreviewPlaceholder::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        emit doubleClicked();
    QWidget::mouseDoubleClickEvent(event);
}

} // namespace vexa
