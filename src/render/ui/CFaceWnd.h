#pragma once

#include "render/CharacterGrid.h"

#include <QWidget>

namespace vexa {

// The character picker's grid window: paints a CharacterGrid, frames the cell under the
// mouse, and emits picked() with the character index of the hovered picture on a left
// click. By keyboard the arrow keys move the frame and Space picks.
class CFaceWnd : public QWidget {
    Q_OBJECT
public:
    explicit CFaceWnd(QWidget* parent = nullptr, int controlId = 0);

    int LoadFolder(const QString& folder);
    CharacterGrid& Grid() { return grid; }

    QSize sizeHint() const override { return {400, 320}; }

signals:
    void picked(int characterIndex);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;

private:
    void PickHovered();

    CharacterGrid grid;
};

} // namespace vexa
