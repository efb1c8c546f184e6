#include "render/ui/CEditWnd.h"

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

void CEditWnd::AfterChange() {
    cachedRaster = QImage();
    emit changed();
    update();
}

void CEditWnd::InsertCode(int c) {
    state->InsertCode(c);
    AfterChange();
}

void CEditWnd::InsertCodes(const QList<quint32>& codes) {
    state->InsertCodes(codes);
    AfterChange();
}

void CEditWnd::Paste() {
    const QString text = QApplication::clipboard()->text();
    const GlyphEditModel::PasteResult result = state->Paste(text);
    AfterChange();
    if (result.stopped)
        emit pasteStopped(GlyphEditModel::PasteLimit);
}

void CEditWnd::Clear() {
    state->Clear();
    AfterChange();
}

bool CEditWnd::event(QEvent* event) {
    // Ctrl+V is the field's paste, never a shortcut of the dialog.
    if (event->type() == QEvent::ShortcutOverride) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->matches(QKeySequence::Paste)) {
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
    if (event->key() == Qt::Key_Backspace) {
        if (state->TypeCharacter(u'\b'))
            AfterChange();
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
    bool typed = false;
    for (QChar unit : text) {
        if (unit.unicode() < 0x20)
            continue;
        typed = state->TypeCharacter(unit.unicode()) || typed;
    }
    if (typed)
        AfterChange();
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
    if (state->CaretKeyReleased(*key))
        emit changed();
    cachedRaster = QImage();
    update();
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
