#include "ui/AccessibleComboBox.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QLineEdit>
#include <mutex>

namespace vexa {

namespace {

QAccessibleInterface* Factory(const QString&, QObject* object) {
    if (auto* box = qobject_cast<QComboBox*>(object))
        return new AccessibleComboBox(box);
    return nullptr;
}

} // namespace

AccessibleComboBox::AccessibleComboBox(QComboBox* box) : QAccessibleWidget(box, QAccessible::ComboBox) {}

void AccessibleComboBox::Install() {
    static std::once_flag once;
    std::call_once(once, [] { QAccessible::installFactory(&Factory); });
}

QComboBox* AccessibleComboBox::Box() const {
    return static_cast<QComboBox*>(widget());
}

QString AccessibleComboBox::text(QAccessible::Text t) const {
    if (t == QAccessible::Value)
        return Box()->isEditable() && Box()->lineEdit() ? Box()->lineEdit()->text() : Box()->currentText();
    return QAccessibleWidget::text(t);
}

QAccessible::State AccessibleComboBox::state() const {
    QAccessible::State state = QAccessibleWidget::state();
    state.expandable = true;
    state.expanded = Box()->view() && Box()->view()->isVisible();
    state.editable = Box()->isEditable();
    return state;
}

// The list of items first, then the typing field of an editable drop-down.
int AccessibleComboBox::childCount() const {
    return Box()->lineEdit() ? 2 : 1;
}

QAccessibleInterface* AccessibleComboBox::child(int index) const {
    if (index == 0)
        return QAccessible::queryAccessibleInterface(Box()->view());
    if (index == 1 && Box()->lineEdit())
        return QAccessible::queryAccessibleInterface(Box()->lineEdit());
    return nullptr;
}

int AccessibleComboBox::indexOfChild(const QAccessibleInterface* child) const {
    if (!child)
        return -1;
    if (child->object() == Box()->view())
        return 0;
    if (Box()->lineEdit() && child->object() == Box()->lineEdit())
        return 1;
    return -1;
}

QStringList AccessibleComboBox::actionNames() const {
    return {showMenuAction(), pressAction()};
}

void AccessibleComboBox::doAction(const QString& actionName) {
    if (actionName != showMenuAction() && actionName != pressAction())
        return;
    if (Box()->view() && Box()->view()->isVisible())
        Box()->hidePopup();
    else
        Box()->showPopup();
}

QStringList AccessibleComboBox::keyBindingsForAction(const QString&) const {
    return {};
}

} // namespace vexa
