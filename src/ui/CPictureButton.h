#pragma once

#include <QPushButton>

namespace vexa {

// A push button with a picture beside its text; a second picture, when given, is shown
// while the mouse is over the button.
class CPictureButton : public QPushButton {
    Q_OBJECT
public:
    CPictureButton(const QString& text, int picture, int hoverPicture = 0, QWidget* parent = nullptr);

protected:
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    QIcon normalIcon;
    QIcon hoverIcon;
};

} // namespace vexa
