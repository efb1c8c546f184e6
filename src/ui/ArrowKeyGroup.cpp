#include "ui/ArrowKeyGroup.h"

#include <QAbstractButton>
#include <QEvent>
#include <QKeyEvent>
#include <algorithm>

namespace vexa {

ArrowKeyGroup::ArrowKeyGroup(const QList<QAbstractButton*>& groupButtons, int gridColumns, QObject* parent)
    : QObject(parent), buttons(groupButtons), columns(std::max(1, gridColumns)) {
    for (QAbstractButton* button : std::as_const(buttons))
        button->installEventFilter(this);
    MakeCurrent(0);
}

// Only the current button takes the focus by Tab; the others take it by a click.
void ArrowKeyGroup::MakeCurrent(int index) {
    if (index < 0 || index >= buttons.size())
        return;
    current = index;
    for (qsizetype i = 0; i < buttons.size(); ++i)
        buttons[i]->setFocusPolicy(i == current ? Qt::StrongFocus : Qt::ClickFocus);
}

bool ArrowKeyGroup::eventFilter(QObject* watched, QEvent* event) {
    // Compared as objects: a button being destroyed is no QAbstractButton any more.
    const auto found = std::find_if(buttons.cbegin(), buttons.cend(),
                                    [watched](const QAbstractButton* button) { return button == watched; });
    if (found == buttons.cend())
        return false;
    const auto index = static_cast<int>(found - buttons.cbegin());
    if (event->type() == QEvent::FocusIn) {
        MakeCurrent(index);
        return false;
    }
    if (event->type() != QEvent::KeyPress)
        return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    const int last = static_cast<int>(buttons.size()) - 1;
    int next = index;
    switch (key->key()) {
    case Qt::Key_Left:
        next = index - 1;
        break;
    case Qt::Key_Right:
        next = index + 1;
        break;
    case Qt::Key_Up:
        next = index - columns;
        break;
    case Qt::Key_Down:
        next = index + columns;
        break;
    case Qt::Key_Home:
        next = 0;
        break;
    case Qt::Key_End:
        next = last;
        break;
    default:
        return false;
    }
    next = std::clamp(next, 0, last);
    MakeCurrent(next);
    buttons[next]->setFocus(Qt::TabFocusReason);
    return true;
}

} // namespace vexa
