#pragma once

#include <QAccessibleWidget>

class QComboBox;

namespace vexa {

// A drop-down as screen readers see it: named by its purpose (its accessible name, else its
// label), with the chosen item as its value. Qt's own interface names a drop-down by its
// chosen item on Linux, so "3" would be read for "Row 3 speed".
class AccessibleComboBox : public QAccessibleWidget {
public:
    explicit AccessibleComboBox(QComboBox* box);

    // Registers the interface for every drop-down of the program (once).
    static void Install();

    QString text(QAccessible::Text t) const override;
    QAccessible::State state() const override;
    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;

    QStringList actionNames() const override;
    void doAction(const QString& actionName) override;
    QStringList keyBindingsForAction(const QString& actionName) const override;

private:
    QComboBox* Box() const;
};

} // namespace vexa
