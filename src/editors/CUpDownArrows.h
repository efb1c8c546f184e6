#pragma once

#include <QWidget>

class QToolButton;

namespace vexa {

// A pair of arrows, up above down, that steps a list it is not attached to: the Y offset
// arrows of the editors. Clicks, and the Up and Down keys while it has the focus, report
// a step of -1 (up) or +1 (down).
class CUpDownArrows : public QWidget {
    Q_OBJECT
public:
    explicit CUpDownArrows(QWidget* parent = nullptr);

    QToolButton* UpButton() const { return up; }
    QToolButton* DownButton() const { return down; }

signals:
    void stepped(int direction);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    QToolButton* up;
    QToolButton* down;
};

} // namespace vexa
