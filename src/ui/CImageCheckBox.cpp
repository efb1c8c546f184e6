#include "ui/CImageCheckBox.h"

#include "ui/UiPictures.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>

namespace vexa {

CImageCheckBox::CImageCheckBox(int uncheckedPicture, int checkedPicture, QWidget* parent)
    : QAbstractButton(parent), unchecked(uncheckedPicture), checked(checkedPicture) {
    setCheckable(true);
    setFocusPolicy(Qt::StrongFocus);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setCursor(Qt::PointingHandCursor);
}

QSize CImageCheckBox::sizeHint() const {
    const int side = fontMetrics().height() + 6;
    return {side, side};
}

QSize CImageCheckBox::minimumSizeHint() const {
    return sizeHint();
}

void CImageCheckBox::enterEvent(QEnterEvent* event) {
    hovered = true;
    update();
    QAbstractButton::enterEvent(event);
}

void CImageCheckBox::leaveEvent(QEvent* event) {
    hovered = false;
    update();
    QAbstractButton::leaveEvent(event);
}

void CImageCheckBox::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const int side = std::min(width(), height()) - 4;
    const QRectF box((width() - side) / 2.0, (height() - side) / 2.0, side, side);
    if (!isEnabled())
        p.setOpacity(0.35);
    UiPictures::PaintCached(p, box, isChecked() ? checked : unchecked);
    if (hovered && isEnabled()) {
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(QColor(0x1f, 0x78, 0xc8, 110), 1.5));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(box.adjusted(-1, -1, 1, 1), 3, 3);
    }
    if (hasFocus()) {
        QStyleOptionFocusRect option;
        option.initFrom(this);
        option.rect = rect();
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &p, this);
    }
}

} // namespace vexa
