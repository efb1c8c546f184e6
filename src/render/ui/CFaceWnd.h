#pragma once

#include "render/CharacterGrid.h"

#include <QWidget>
#include <functional>

namespace vexa {

// The character picker's grid window: paints a CharacterGrid, frames the cell under the
// mouse, and emits picked() with the character index of the hovered picture on a left
// click. By keyboard the arrow keys move the frame and Space picks. Screen readers see each
// picture as an item named by its character.
class CFaceWnd : public QWidget {
    Q_OBJECT
public:
    explicit CFaceWnd(QWidget* parent = nullptr, int controlId = 0);

    int LoadFolder(const QString& folder);
    CharacterGrid& Grid() { return grid; }
    const CharacterGrid& Grid() const { return grid; }

    // The character a character index stands for (the name of its cell).
    using CharacterOf = std::function<QString(int characterIndex)>;
    void SetCharacterNames(CharacterOf names) { characterNames = std::move(names); }
    QString CellName(int cell) const;
    // The cell's rectangle in the window.
    QRect CellRect(int cell) const;
    // Hovers the cell and picks it, as a click on it does.
    void PickCell(int cell);

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
    void TellHovered();

    CharacterGrid grid;
    CharacterOf characterNames;
};

} // namespace vexa
