#pragma once

#include "render/RichText.h"

#include <QTextEdit>

class QMenu;

namespace vexa {

// The rich text field of the text and date editors: per-character face, size, colour,
// bold, italic and underline; the whole content as an RTF document (our own writer and
// reader, 7-bit RTF other programs read too); an ASCII-only mode; plain-text pasting;
// a small context menu; a limit on the length of the text; and no change reported while
// an input method is composing.
//
// contentChanged() is the change notification the dialogs follow: it comes after the
// limit and the ASCII-only filter have run, and never in the middle of a composition.
class CAutoRichEditCtrl : public QTextEdit {
    Q_OBJECT
public:
    // Context menu commands.
    enum Command { CopyCommand = 2001, CutCommand = 2002, PasteCommand = 2003, ClearCommand = 2004 };

    explicit CAutoRichEditCtrl(QWidget* parent = nullptr);

    // The whole content as an RTF document beginning with "{\rtf" (a short, complete one
    // when the field is empty).
    QString GetRTF() const;
    // Replaces the whole content by an RTF document; bytes without a code page of their
    // own are read in the legacy code page.
    void SetRTF(const QString& rtf);
    void SetCodePage(int codePage) { ansiCodePage = codePage; }

    // Replaces the content by plain text in the default format, caret at the end.
    void SetPlainContent(const QString& text);
    // The text without its line breaks, as the counter and the contents count it.
    QString TextWithoutLineBreaks() const;

    // Characters from 127 up are removed after every change (tabs stay).
    void SetAsciiOnly(bool on);
    bool AsciiOnly() const { return asciiOnly; }

    // At most limit characters (each line break counts one); 0 = no limit.
    void SetTextLimit(int limit) { textLimit = limit; }
    int TextLimit() const { return textLimit; }

    // The format new text takes in an empty field and after SetPlainContent.
    void SetDefaultCharFormat(const CharFormat& format);
    const CharFormat& DefaultCharFormat() const { return defaultFormat; }

    // Character format at the selection: of its first character, or the format typing
    // continues with when nothing is selected.
    CharFormat SelectionCharFormat() const;
    // Applies a format to the selection, or to the insertion point when nothing is selected.
    void SetSelectionCharFormat(const CharFormat& format);
    // Replaces the selection (or inserts at the caret) without an undo step.
    void ReplaceSelection(const QString& text);

    // The context menu for the current state (commands as action data); the caller owns it.
    QMenu* CreateContextMenu(QWidget* parent);
    bool Composing() const { return composing; }

signals:
    void contentChanged();
    // The caret moved or the selection changed.
    void selectionMoved();

protected:
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void insertFromMimeData(const QMimeData* source) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;

private:
    void OnContentsChange(int position, int removed, int added);
    void OnTextChanged();
    void EnforceLimit();
    void ClearAll();

    bool asciiOnly = false;
    bool composing = false;
    bool changePending = false; // a change arrived while composing
    bool inInputMethodEvent = false;
    bool filtering = false; // the field is correcting its own text
    int textLimit = 0;
    int ansiCodePage = 1252;
    int lastInsertEnd = -1; // end of the text inserted by the last change
    int lastInsertStart = -1;
    CharFormat defaultFormat;
};

} // namespace vexa
