#include "render/ui/CEditWnd.h"

#include "render/ui/CEditWndAccessible.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <optional>

namespace vexa {

namespace {

std::optional<GlyphEditModel::CaretKey> CaretKeyOf(int key) {
    switch (key) {
    case Qt::Key_End:
        return GlyphEditModel::CaretKey::End;
    case Qt::Key_Home:
        return GlyphEditModel::CaretKey::Home;
    case Qt::Key_Left:
    case Qt::Key_Up:
        return GlyphEditModel::CaretKey::Back;
    case Qt::Key_Right:
    case Qt::Key_Down:
        return GlyphEditModel::CaretKey::Forward;
    case Qt::Key_Delete:
        return GlyphEditModel::CaretKey::Delete;
    default:
        return std::nullopt;
    }
}

// Keys whose text is not a character of the field: Return and Escape belong to the
// dialog, Tab moves the focus so the field can be left by keyboard.
// Ctrl+Y redoes too, as in most editors.
bool IsRedoKey(const QKeyEvent* key) {
    return key->key() == Qt::Key_Y && key->modifiers() == Qt::ControlModifier;
}

bool IsDialogKey(int key) {
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return true;
    default:
        return false;
    }
}

} // namespace

CEditWnd::CEditWnd(QWidget* parent, int controlId) : QWidget(parent) {
    CEditWndAccessible::Install();
    setProperty("controlId", controlId);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_InputMethodEnabled, false);
}

void CEditWnd::SetState(GlyphEditModel* edited) {
    state = edited ? edited : &ownState;
    cachedRaster = QImage();
    update();
}

void CEditWnd::Change(const std::function<bool()>& change) {
    const GlyphEditModel::Snapshot before = state->Keep();
    if (!change())
        return;
    state->Remember(before);
    AfterChange();
}

void CEditWnd::AfterChange() {
    cachedRaster = QImage();
    emit changed();
    update();
    const QString now = CharacterText();
    if (now != spokenText && QAccessible::isActive()) {
        QAccessibleTextUpdateEvent changedText(this, 0, spokenText, now);
        QAccessible::updateAccessibility(&changedText);
    }
    spokenText = now;
}

void CEditWnd::InsertCode(int c) {
    Change([this, c] {
        state->InsertCode(c);
        return true;
    });
}

void CEditWnd::InsertCodes(const QList<quint32>& codes) {
    Change([this, &codes] {
        state->InsertCodes(codes);
        return !codes.isEmpty();
    });
}

void CEditWnd::Paste() {
    const QString text = QApplication::clipboard()->text();
    GlyphEditModel::PasteResult result;
    Change([this, &text, &result] {
        result = state->Paste(text);
        return result.inserted > 0;
    });
    if (result.stopped)
        emit pasteStopped(GlyphEditModel::PasteLimit);
}

void CEditWnd::Clear() {
    Change([this] { return state->Clear(); });
}

void CEditWnd::Undo() {
    if (state->Undo())
        AfterChange();
}

void CEditWnd::Redo() {
    if (state->Redo())
        AfterChange();
}

void CEditWnd::Restore(const GlyphEditModel::Snapshot& kept) {
    if (state->Restore(kept))
        AfterChange();
}

void CEditWnd::SetCharacterNames(CharacterOf names) {
    characterNames = std::move(names);
    spokenText = CharacterText();
}

QString CEditWnd::CharacterText(int from, int to) const {
    const int count = static_cast<int>(state->codes.size());
    const int end = to < 0 || to > count ? count : to;
    QString text;
    for (int i = std::max(0, from); i < end; ++i) {
        const int index = static_cast<int>(state->codes[i] & GlyphEditModel::CharacterBits);
        QString character = characterNames ? characterNames(index) : QString();
        if (character.isEmpty())
            character = index >= 32 && index < 127 ? QString(QChar(index)) : QStringLiteral("\uFFFD");
        text += character;
    }
    return text;
}

bool CEditWnd::event(QEvent* event) {
    // Ctrl+V, Ctrl+Z and Ctrl+Y are the field's, never shortcuts of the dialog.
    if (event->type() == QEvent::ShortcutOverride) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->matches(QKeySequence::Paste) || key->matches(QKeySequence::Undo) ||
            key->matches(QKeySequence::Redo) || IsRedoKey(key)) {
            event->accept();
            return true;
        }
    }
    return QWidget::event(event);
}

void CEditWnd::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_V && (event->modifiers() & Qt::ControlModifier)) {
        Paste();
        return;
    }
    if (event->matches(QKeySequence::Redo) || IsRedoKey(event)) {
        Redo();
        return;
    }
    if (event->matches(QKeySequence::Undo)) {
        Undo();
        return;
    }
    if (event->key() == Qt::Key_Backspace) {
        Change([this] { return state->TypeCharacter(u'\b'); });
        return;
    }
    if (CaretKeyOf(event->key())) {
        event->accept();
        return;
    }
    const QString text = event->text();
    if (IsDialogKey(event->key()) || text.isEmpty()) {
        QWidget::keyPressEvent(event);
        return;
    }
    Change([this, &text] {
        bool typed = false;
        for (QChar unit : text) {
            if (unit.unicode() >= 0x20)
                typed = state->TypeCharacter(unit.unicode()) || typed;
        }
        return typed;
    });
}

void CEditWnd::keyReleaseEvent(QKeyEvent* event) {
    const auto key = CaretKeyOf(event->key());
    if (!key) {
        QWidget::keyReleaseEvent(event);
        return;
    }
    // A held key repeats press and release; the caret moves once, when it is let go.
    if (event->isAutoRepeat())
        return;
    const GlyphEditModel::Snapshot before = state->Keep();
    if (state->CaretKeyReleased(*key)) {
        state->Remember(before);
        AfterChange();
        return;
    }
    cachedRaster = QImage();
    update();
    if (QAccessible::isActive()) {
        QAccessibleTextCursorEvent moved(this, state->caretIndex);
        QAccessible::updateAccessibility(&moved);
    }
}

void CEditWnd::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    state->caretIndex = state->HitTest(width(), event->position().toPoint());
    setFocus(Qt::MouseFocusReason);
    cachedRaster = QImage();
    update();
}

void CEditWnd::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) {
        setFocus(Qt::MouseFocusReason);
        ShowMenu(event->globalPosition().toPoint());
        return;
    }
    QWidget::mouseReleaseEvent(event);
}

void CEditWnd::contextMenuEvent(QContextMenuEvent* event) {
    // The mouse opens the menu when the right button is released; the menu key opens it too.
    if (event->reason() == QContextMenuEvent::Keyboard)
        ShowMenu(mapToGlobal(QPoint(0, height() / 2)));
    event->accept();
}

void CEditWnd::ShowMenu(const QPoint& globalPosition) {
    QMenu menu(this);
    QAction* paste = menu.addAction(QStringLiteral("Paste"));
    paste->setData(PasteCommand);
    QAction* clear = menu.addAction(QStringLiteral("Clear"));
    clear->setData(ClearCommand);
    clear->setEnabled(!state->codes.isEmpty());
    QAction* chosen = menu.exec(globalPosition);
    if (chosen == paste)
        Paste();
    else if (chosen == clear)
        Clear();
}

void CEditWnd::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    update();
}

void CEditWnd::focusOutEvent(QFocusEvent* event) {
    QWidget::focusOutEvent(event);
    update();
}

void CEditWnd::resizeEvent(QResizeEvent* event) {
    cachedRaster = QImage();
    QWidget::resizeEvent(event);
}

QImage& CEditWnd::Raster() {
    if (cachedRaster.isNull() || cachedRaster.size() != size()) {
        QStringList missing;
        cachedRaster = state->Render(size(), &missing);
        if (!missing.isEmpty() && !missingGlyphLog.isEmpty())
            GlyphEditModel::WriteMissingGlyphLog(missingGlyphLog, missing);
    }
    return cachedRaster;
}

void CEditWnd::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawImage(QPoint(0, 0), Raster());
    if (hasFocus()) {
        const QPoint caret = state->LayOut(width()).caret;
        painter.fillRect(QRect(caret, GlyphEditModel::CaretSize), Qt::white);
    }
}

} // namespace vexa
