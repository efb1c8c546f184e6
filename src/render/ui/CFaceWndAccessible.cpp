#include "render/ui/CFaceWndAccessible.h"

#include "render/ui/CFaceWnd.h"

#include <QPointer>
#include <mutex>

namespace vexa {

namespace {

QAccessibleInterface* Factory(const QString&, QObject* object) {
    if (auto* grid = qobject_cast<CFaceWnd*>(object))
        return new CFaceWndAccessible(grid);
    return nullptr;
}

// The cell under the frame, or -1.
int HoveredCell(const CharacterGrid& cells) {
    return cells.HoverRow() < 0 ? -1 : cells.HoverColumn() + CharacterGrid::Columns * cells.HoverRow();
}

// One picture of the grid: a list item named by its character.
class CellAccessible : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    CellAccessible(CFaceWnd* owner, int index) : grid(owner), cell(index) {}

    bool isValid() const override {
        const CFaceWnd* g = grid.data();
        return g && cell < g->Grid().Count();
    }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override {
        const CFaceWnd* g = grid.data();
        return g ? g->window()->windowHandle() : nullptr;
    }
    QAccessibleInterface* parent() const override {
        return QAccessible::queryAccessibleInterface(grid.data());
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QString text(QAccessible::Text t) const override {
        const CFaceWnd* g = grid.data();
        return t == QAccessible::Name && g ? g->CellName(cell) : QString();
    }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override {
        const CFaceWnd* g = grid.data();
        if (!g)
            return {};
        const QRect local = g->CellRect(cell);
        return QRect(g->mapToGlobal(local.topLeft()), local.size());
    }
    QAccessible::Role role() const override { return QAccessible::ListItem; }
    QAccessible::State state() const override {
        QAccessible::State state;
        state.focusable = true;
        state.selectable = true;
        const CFaceWnd* g = grid.data();
        if (!g)
            return state;
        const bool hovered = HoveredCell(g->Grid()) == cell;
        state.focused = hovered && g->hasFocus();
        state.selected = hovered;
        return state;
    }
    void* interface_cast(QAccessible::InterfaceType type) override {
        return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this)
                                                    : nullptr;
    }

    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString& name) override {
        if (CFaceWnd* g = grid.data(); g && name == pressAction())
            g->PickCell(cell);
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

private:
    QPointer<CFaceWnd> grid;
    int cell;
};

} // namespace

CFaceWndAccessible::CFaceWndAccessible(CFaceWnd* grid) : QAccessibleWidget(grid, QAccessible::List) {}

CFaceWndAccessible::~CFaceWndAccessible() {
    for (QAccessible::Id id : std::as_const(cells)) {
        if (id != 0)
            QAccessible::deleteAccessibleInterface(id);
    }
}

void CFaceWndAccessible::Install() {
    static std::once_flag once;
    std::call_once(once, [] { QAccessible::installFactory(&Factory); });
}

CFaceWnd* CFaceWndAccessible::Grid() const {
    return static_cast<CFaceWnd*>(widget());
}

int CFaceWndAccessible::childCount() const {
    const CFaceWnd* grid = Grid();
    return grid ? grid->Grid().Count() : 0;
}

QAccessibleInterface* CFaceWndAccessible::child(int index) const {
    CFaceWnd* grid = Grid();
    if (!grid || index < 0 || index >= grid->Grid().Count())
        return nullptr;
    if (cells.size() <= index)
        cells.resize(index + 1, 0);
    if (cells[index] == 0)
        cells[index] = QAccessible::registerAccessibleInterface(new CellAccessible(grid, index));
    return QAccessible::accessibleInterface(cells[index]);
}

int CFaceWndAccessible::indexOfChild(const QAccessibleInterface* child) const {
    for (qsizetype i = 0; i < cells.size(); ++i) {
        if (cells[i] != 0 && QAccessible::accessibleInterface(cells[i]) == child)
            return static_cast<int>(i);
    }
    return -1;
}

QAccessibleInterface* CFaceWndAccessible::focusChild() const {
    const CFaceWnd* grid = Grid();
    if (!grid || !grid->hasFocus())
        return nullptr;
    const int hovered = HoveredCell(grid->Grid());
    return hovered < 0 ? nullptr : child(hovered);
}

QAccessibleInterface* CFaceWndAccessible::childAt(int x, int y) const {
    const CFaceWnd* grid = Grid();
    if (!grid)
        return nullptr;
    const QPoint local = grid->mapFromGlobal(QPoint(x, y));
    for (int i = 0; i < grid->Grid().Count(); ++i) {
        if (grid->CellRect(i).contains(local))
            return child(i);
    }
    return nullptr;
}

} // namespace vexa
