#pragma once

#include <QAbstractButton>

namespace vexa {

// A check box drawn as a picture: one picture unchecked, another checked. Used for the
// flags of the message rows.
class CImageCheckBox : public QAbstractButton {
    Q_OBJECT
public:
    CImageCheckBox(int uncheckedPicture, int checkedPicture, QWidget* parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    int unchecked;
    int checked;
    bool hovered = false;
};

} // namespace vexa
