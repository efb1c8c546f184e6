#include "render/ui/CFaceWnd.h"

#include "render/ui/CFaceWndAccessible.h"

#include <QAccessible>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace vexa {

CFaceWnd::CFaceWnd(QWidget* parent, int controlId) : QWidget(parent) {
    CFaceWndAccessible::Install();
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
    if (hasFocus()) {
        // Shows a keyboard user where the focus is, before and after the first arrow key.
        painter.setPen(QPen(palette().color(QPalette::Highlight), 2));
        painter.drawRect(QRectF(rect()).adjusted(1, 1, -1, -1));
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
    if (grid.MoveHover(dx, dy)) {
        update();
        TellHovered();
    }
}

void CFaceWnd::TellHovered() {
    if (!QAccessible::isActive() || grid.HoverRow() < 0)
        return;
    QAccessibleEvent event(this, QAccessible::Focus);
    event.setChild(grid.HoverColumn() + CharacterGrid::Columns * grid.HoverRow());
    QAccessible::updateAccessibility(&event);
}

QString CFaceWnd::CellName(int cell) const {
    if (cell < 0 || cell >= grid.Count())
        return {};
    const int index = grid.Indexes().value(cell);
    const QString name = characterNames ? characterNames(index) : QString();
    if (!name.isEmpty())
        return name;
    return index >= 32 && index < 127 ? QString(QChar(index)) : QString::number(index);
}

QRect CFaceWnd::CellRect(int cell) const {
    const int column = cell % CharacterGrid::Columns;
    const int row = cell / CharacterGrid::Columns;
    return grid.CellRect(column, row, QSizeF(size())).toAlignedRect();
}

void CFaceWnd::PickCell(int cell) {
    if (cell < 0 || cell >= grid.Count())
        return;
    grid.HoverAt(QRectF(CellRect(cell)).center(), QSizeF(size()));
    update();
    PickHovered();
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
