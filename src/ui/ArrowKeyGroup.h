#pragma once

#include <QList>
#include <QObject>

class QAbstractButton;

namespace vexa {

// Makes a group of picture buttons one tab stop: Tab enters the group at the button used
// last, the arrow keys (and Home, End) move through its grid of columns, Space presses.
// The mouse clicks any button as before.
class ArrowKeyGroup : public QObject {
    Q_OBJECT
public:
    ArrowKeyGroup(const QList<QAbstractButton*>& buttons, int columns, QObject* parent);

    int Current() const { return current; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void MakeCurrent(int index);

    QList<QAbstractButton*> buttons;
    int columns;
    int current = 0;
};

} // namespace vexa
