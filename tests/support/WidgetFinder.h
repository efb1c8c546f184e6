#pragma once

// Finders shared by the widget tests: controls by their control ID, menu items by their
// data or command ID, and the modal dialog that is open.

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QWidget>

namespace vexa::test {

// The child of root carrying controlId (root itself included), or nullptr.
inline QWidget* FindControl(const QWidget* root, int controlId) {
    if (!root)
        return nullptr;
    if (root->property("controlId").toInt() == controlId)
        return const_cast<QWidget*>(root);
    const auto children = root->findChildren<QWidget*>();
    for (QWidget* child : children) {
        if (child->property("controlId").toInt() == controlId)
            return child;
    }
    return nullptr;
}

// The control of that ID as a W, with a warning naming the ID when it is missing.
template <typename W> W* Get(const QWidget* root, int controlId) {
    auto* w = qobject_cast<W*>(FindControl(root, controlId));
    if (!w)
        qWarning("control %d not found", controlId);
    return w;
}

// Triggers the action of menu whose data is item; false when there is none.
inline bool TriggerMenuItem(QMenu* menu, int item) {
    if (!menu)
        return false;
    for (QAction* a : menu->actions()) {
        if (a->data().toInt() == item) {
            a->trigger();
            return true;
        }
    }
    return false;
}

// Triggers the item of the menu of the push button carrying buttonId.
inline bool ChooseMenuItem(const QWidget* root, int buttonId, int item) {
    auto* button = Get<QPushButton>(root, buttonId);
    return button && TriggerMenuItem(button->menu(), item);
}

// The modal dialog of type D open now, waiting up to timeoutMs for it to appear.
template <typename D> D* WaitForModal(int timeoutMs = 3000) {
    D* dialog = nullptr;
    static_cast<void>(QTest::qWaitFor(
        [&dialog] {
            dialog = qobject_cast<D*>(QApplication::activeModalWidget());
            return dialog != nullptr;
        },
        timeoutMs));
    return dialog;
}

} // namespace vexa::test
