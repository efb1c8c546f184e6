#pragma once

#include <QAccessibleWidget>

namespace vexa {

class CEditWnd;

// The glyph edit field as screen readers see it: an editable text whose characters are the
// letters of its glyph codes, with the caret as the text cursor.
class CEditWndAccessible : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit CEditWndAccessible(CEditWnd* field);

    // Registers the interface for every CEditWnd (once per program).
    static void Install();

    void* interface_cast(QAccessible::InterfaceType type) override;
    QAccessible::State state() const override;
    QString text(QAccessible::Text t) const override;

    // QAccessibleTextInterface
    void selection(int selectionIndex, int* startOffset, int* endOffset) const override;
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    int cursorPosition() const override;
    void setCursorPosition(int position) override;
    QString text(int startOffset, int endOffset) const override;
    int characterCount() const override;
    QRect characterRect(int offset) const override;
    int offsetAtPoint(const QPoint& point) const override;
    void scrollToSubstring(int, int) override {}
    QString attributes(int offset, int* startOffset, int* endOffset) const override;

private:
    CEditWnd* Field() const;
};

} // namespace vexa
