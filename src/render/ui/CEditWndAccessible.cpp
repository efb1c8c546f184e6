#include "render/ui/CEditWndAccessible.h"

#include "render/ui/CEditWnd.h"

#include <algorithm>
#include <mutex>

namespace vexa {

namespace {

QAccessibleInterface* Factory(const QString&, QObject* object) {
    if (auto* field = qobject_cast<CEditWnd*>(object))
        return new CEditWndAccessible(field);
    return nullptr;
}

} // namespace

CEditWndAccessible::CEditWndAccessible(CEditWnd* field)
    : QAccessibleWidget(field, QAccessible::EditableText) {}

void CEditWndAccessible::Install() {
    static std::once_flag once;
    std::call_once(once, [] { QAccessible::installFactory(&Factory); });
}

CEditWnd* CEditWndAccessible::Field() const {
    return static_cast<CEditWnd*>(widget());
}

void* CEditWndAccessible::interface_cast(QAccessible::InterfaceType type) {
    if (type == QAccessible::TextInterface)
        return static_cast<QAccessibleTextInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
}

QAccessible::State CEditWndAccessible::state() const {
    QAccessible::State state = QAccessibleWidget::state();
    state.editable = true;
    state.multiLine = true;
    return state;
}

QString CEditWndAccessible::text(QAccessible::Text t) const {
    if (t == QAccessible::Value)
        return Field()->CharacterText();
    return QAccessibleWidget::text(t);
}

void CEditWndAccessible::selection(int, int* startOffset, int* endOffset) const {
    *startOffset = 0;
    *endOffset = 0;
}

int CEditWndAccessible::cursorPosition() const {
    return Field()->State().caretIndex;
}

void CEditWndAccessible::setCursorPosition(int position) {
    Field()->State().caretIndex = std::clamp(position, 0, characterCount());
    Field()->update();
}

QString CEditWndAccessible::text(int startOffset, int endOffset) const {
    return Field()->CharacterText(startOffset, endOffset);
}

int CEditWndAccessible::characterCount() const {
    return static_cast<int>(Field()->Codes().size());
}

QRect CEditWndAccessible::characterRect(int offset) const {
    const GlyphEditModel::Layout layout = Field()->State().LayOut(Field()->width());
    for (const GlyphEditModel::PlacedGlyph& placed : layout.glyphs) {
        if (placed.index == offset)
            return QRect(Field()->mapToGlobal(placed.rect.topLeft()), placed.rect.size());
    }
    return {};
}

int CEditWndAccessible::offsetAtPoint(const QPoint& point) const {
    return Field()->State().HitTest(Field()->width(), Field()->mapFromGlobal(point));
}

QString CEditWndAccessible::attributes(int offset, int* startOffset, int* endOffset) const {
    *startOffset = offset;
    *endOffset = offset;
    return {};
}

} // namespace vexa
