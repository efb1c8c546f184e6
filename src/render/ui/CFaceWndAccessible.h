#pragma once

#include <QAccessibleWidget>
#include <QList>

namespace vexa {

class CFaceWnd;

// The character picker's grid as screen readers see it: a list whose items are the
// pictures, each named by its character, focused as the frame moves and picked by its
// press action.
class CFaceWndAccessible : public QAccessibleWidget {
public:
    explicit CFaceWndAccessible(CFaceWnd* grid);
    ~CFaceWndAccessible() override;

    // Registers the interface for every CFaceWnd (once per program).
    static void Install();

    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* focusChild() const override;
    QAccessibleInterface* childAt(int x, int y) const override;

    CFaceWnd* Grid() const;

private:
    mutable QList<QAccessible::Id> cells; // registered cell interfaces, by cell
};

} // namespace vexa
