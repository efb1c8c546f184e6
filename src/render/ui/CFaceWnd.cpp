#include "render/ui/CFaceWnd.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace vexa {

CFaceWnd::CFaceWnd(QWidget* parent, int controlId) : QWidget(parent) {
    setProperty("controlId", controlId);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

int CFaceWnd::LoadFolder(const QString& folder) {
    const int count = grid.LoadFolder(folder);
    update();
    return count;
}

void CFaceWnd::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawImage(QPoint(0, 0), grid.Render(size()));
    if (hasFocus() && grid.HoverRow() < 0) {
        // Shows a keyboard user where the focus is before the first arrow key.
        painter.setPen(QPen(QColor::fromRgb(CharacterGrid::HoverColour), 1, Qt::DotLine));
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}

void CFaceWnd::mouseMoveEvent(QMouseEvent* event) {
    if (grid.HoverAt(event->position(), QSizeF(size())))
        update();
}

void CFaceWnd::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        setFocus(Qt::MouseFocusReason);
        PickHovered();
        return;
    }
    QWidget::mousePressEvent(event);
}

void CFaceWnd::keyPressEvent(QKeyEvent* event) {
    int dx = 0;
    int dy = 0;
    switch (event->key()) {
    case Qt::Key_Left:
        dx = -1;
        break;
    case Qt::Key_Right:
        dx = 1;
        break;
    case Qt::Key_Up:
        dy = -1;
        break;
    case Qt::Key_Down:
        dy = 1;
        break;
    case Qt::Key_Space:
        PickHovered();
        return;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    if (grid.MoveHover(dx, dy))
        update();
}

void CFaceWnd::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    update();
}

void CFaceWnd::PickHovered() {
    if (const auto index = grid.Pick())
        emit picked(*index);
}

} // namespace vexa
