#include "ui/CPictureButton.h"

#include "ui/UiPictures.h"

namespace vexa {

CPictureButton::CPictureButton(const QString& text, int picture, int hoverPicture, QWidget* parent)
    : QPushButton(text, parent), normalIcon(UiPictures::Icon(picture)),
      hoverIcon(hoverPicture ? UiPictures::Icon(hoverPicture) : normalIcon) {
    setIcon(normalIcon);
    const int side = fontMetrics().height();
    setIconSize(QSize(side, side));
}

void CPictureButton::enterEvent(QEnterEvent* event) {
    setIcon(hoverIcon);
    QPushButton::enterEvent(event);
}

void CPictureButton::leaveEvent(QEvent* event) {
    setIcon(normalIcon);
    QPushButton::leaveEvent(event);
}

} // namespace vexa
