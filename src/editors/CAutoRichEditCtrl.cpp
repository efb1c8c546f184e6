#include "editors/CAutoRichEditCtrl.h"

#include "render/AsciiFilter.h"
#include "render/RichTextDocument.h"
#include "render/RunFont.h"

#include <QContextMenuEvent>
#include <QInputMethodEvent>
#include <QMenu>
#include <QMimeData>
#include <QScopedValueRollback>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>

namespace vexa {

namespace {

constexpr int TokenLength = 9; // "[GIF_nnn]"

bool IsTokenAt(const QString& text, qsizetype i) {
    return i >= 0 && i + TokenLength <= text.size() && text.at(i) == u'[' &&
           QStringView(text).mid(i + 1, 4) == u"GIF_" && text.at(i + TokenLength - 1) == u']';
}

QAction* AddCommand(QMenu* menu, const QString& text, int command, bool enabled) {
    QAction* action = menu->addAction(text);
    action->setData(command);
    action->setEnabled(enabled);
    return action;
}

} // namespace

CAutoRichEditCtrl::CAutoRichEditCtrl(QWidget* parent) : QTextEdit(parent) {
    setAcceptRichText(false);
    setTabChangesFocus(true); // the dialog stays usable by keyboard alone; pasted tabs are kept
    setLineWrapMode(QTextEdit::WidgetWidth);
    connect(document(), &QTextDocument::contentsChange, this, &CAutoRichEditCtrl::OnContentsChange);
    connect(this, &QTextEdit::textChanged, this, &CAutoRichEditCtrl::OnTextChanged);
    connect(this, &QTextEdit::cursorPositionChanged, this, &CAutoRichEditCtrl::selectionMoved);
    connect(this, &QTextEdit::selectionChanged, this, &CAutoRichEditCtrl::selectionMoved);
}

QString CAutoRichEditCtrl::GetRTF() const {
    return RichTextDocument::GetRTF(*document());
}

void CAutoRichEditCtrl::SetRTF(const QString& rtf) {
    {
        const QScopedValueRollback guard(filtering, true);
        RichTextDocument::SetRTF(*document(), rtf, LegacyCodePage(ansiCodePage));
        moveCursor(QTextCursor::End);
    }
    lastInsertStart = lastInsertEnd = -1;
    emit contentChanged();
}

void CAutoRichEditCtrl::SetPlainContent(const QString& text) {
    {
        const QScopedValueRollback guard(filtering, true);
        RichText rich;
        QString normalised = text;
        normalised.replace(QStringLiteral("\r\n"), QStringLiteral("\r")).replace(u'\n', u'\r');
        rich.Append(normalised, defaultFormat);
        RichTextDocument::FromRichText(*document(), rich, defaultFormat);
        moveCursor(QTextCursor::End);
    }
    lastInsertStart = lastInsertEnd = -1;
    emit contentChanged();
}

QString CAutoRichEditCtrl::TextWithoutLineBreaks() const {
    QString text = toPlainText();
    text.remove(u'\n');
    text.remove(u'\r');
    return text;
}

void CAutoRichEditCtrl::SetAsciiOnly(bool on) {
    asciiOnly = on;
}

void CAutoRichEditCtrl::SetDefaultCharFormat(const CharFormat& format) {
    defaultFormat = format;
    QFont font = document()->defaultFont();
    font.setFamilies(RunFont::IsCjkFace(format.face, format.charset)
                         ? QStringList{format.face, RunFont::CjkSubstitute()}
                         : QStringList{format.face});
    font.setPointSizeF(format.sizeTwips / 20.0);
    document()->setDefaultFont(font);
    const QScopedValueRollback guard(filtering, true);
    QTextCursor all(document());
    all.select(QTextCursor::Document);
    all.mergeCharFormat(RichTextDocument::ToTextCharFormat(format));
    all.mergeBlockCharFormat(RichTextDocument::ToTextCharFormat(format));
    setCurrentCharFormat(RichTextDocument::ToTextCharFormat(format));
}

CharFormat CAutoRichEditCtrl::SelectionCharFormat() const {
    const QTextCursor cursor = textCursor();
    QTextCharFormat format = currentCharFormat();
    if (cursor.hasSelection()) {
        QTextCursor first(document());
        first.setPosition(cursor.selectionStart() + 1);
        format = first.charFormat();
    }
    return RichTextDocument::ToCharFormat(format, document()->defaultFont());
}

void CAutoRichEditCtrl::SetSelectionCharFormat(const CharFormat& format) {
    mergeCurrentCharFormat(RichTextDocument::ToTextCharFormat(format));
}

void CAutoRichEditCtrl::ReplaceSelection(const QString& text) {
    textCursor().insertText(text);
}

// --- Changes: the limit, the ASCII-only filter and the input-method guard.

void CAutoRichEditCtrl::OnContentsChange(int position, int, int added) {
    if (filtering || added <= 0)
        return;
    const int end = position + added;
    lastInsertStart = lastInsertStart < 0 ? position : std::min(lastInsertStart, position);
    lastInsertEnd = std::max(lastInsertEnd, end);
}

void CAutoRichEditCtrl::OnTextChanged() {
    if (filtering)
        return;
    if (composing || inInputMethodEvent) {
        changePending = true;
        return;
    }
    {
        const QScopedValueRollback guard(filtering, true);
        EnforceLimit();
        if (asciiOnly) {
            QTextCursor cursor = textCursor();
            int anchor = cursor.anchor();
            int position = cursor.position();
            if (AsciiFilter::Apply(*document(), &anchor, &position)) {
                cursor.setPosition(anchor);
                cursor.setPosition(position, QTextCursor::KeepAnchor);
                setTextCursor(cursor);
            }
        }
    }
    lastInsertStart = lastInsertEnd = -1;
    emit contentChanged();
}

// Text beyond the limit is cut from the end of what was just inserted, never inside an
// animation token (a cut token would turn into stray characters); text that was there
// before stays, even when it is already longer than the limit.
void CAutoRichEditCtrl::EnforceLimit() {
    const int length = document()->characterCount() - 1;
    if (textLimit <= 0 || length <= textLimit || lastInsertStart < 0)
        return;
    const int insertEnd = std::min(lastInsertEnd, length);
    const int insertStart = std::min(lastInsertStart, insertEnd);
    int cutStart = std::max(insertStart, insertEnd - (length - textLimit));
    const QString text = document()->toRawText();
    for (int i = std::max(insertStart, cutStart - TokenLength + 1); i < cutStart; ++i) {
        if (IsTokenAt(text, i)) {
            cutStart = i;
            break;
        }
    }
    if (cutStart >= insertEnd)
        return;
    QTextCursor cut(document());
    cut.setPosition(cutStart);
    cut.setPosition(insertEnd, QTextCursor::KeepAnchor);
    cut.removeSelectedText();
}

// Changes during a composition are reported once, when it ends; the commit and the removal
// of the composed text are one change.
void CAutoRichEditCtrl::inputMethodEvent(QInputMethodEvent* event) {
    composing = !event->preeditString().isEmpty();
    {
        const QScopedValueRollback guard(inInputMethodEvent, true);
        QTextEdit::inputMethodEvent(event);
    }
    if (!composing && changePending) {
        changePending = false;
        OnTextChanged();
    }
}

// --- Plain-text paste and the context menu.

bool CAutoRichEditCtrl::canInsertFromMimeData(const QMimeData* source) const {
    return source && source->hasText();
}

void CAutoRichEditCtrl::insertFromMimeData(const QMimeData* source) {
    if (source && source->hasText())
        insertPlainText(source->text());
}

QMenu* CAutoRichEditCtrl::CreateContextMenu(QWidget* parent) {
    auto* menu = new QMenu(parent);
    const bool hasText = !document()->isEmpty();
    const bool hasSelection = textCursor().hasSelection();
    connect(AddCommand(menu, QStringLiteral("Cut"), CutCommand, hasText && hasSelection), &QAction::triggered,
            this, &QTextEdit::cut);
    connect(AddCommand(menu, QStringLiteral("Copy"), CopyCommand, hasText && hasSelection),
            &QAction::triggered, this, &QTextEdit::copy);
    connect(AddCommand(menu, QStringLiteral("Paste"), PasteCommand, canPaste()), &QAction::triggered, this,
            &QTextEdit::paste);
    menu->addSeparator();
    connect(AddCommand(menu, QStringLiteral("Clear"), ClearCommand, hasText), &QAction::triggered, this,
            &CAutoRichEditCtrl::ClearAll);
    return menu;
}

void CAutoRichEditCtrl::ClearAll() {
    QTextCursor all(document());
    all.select(QTextCursor::Document);
    all.removeSelectedText();
}

void CAutoRichEditCtrl::contextMenuEvent(QContextMenuEvent* event) {
    setFocus(Qt::PopupFocusReason);
    QMenu* menu = CreateContextMenu(this);
    menu->exec(event->globalPos());
    delete menu;
}

} // namespace vexa
