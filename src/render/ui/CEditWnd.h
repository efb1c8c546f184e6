#pragma once

#include "render/GlyphEditModel.h"

#include <QImage>
#include <QWidget>
#include <functional>

namespace vexa {

// The glyph edit field of the bitmap-font text editor: shows the codes of a
// GlyphEditModel as glyphs two times enlarged with a 3 x 16 caret, takes typed
// characters, acts on the caret keys when they are released, places the caret on a
// click, pastes plain text (Ctrl+V or the context menu of a right click, which also
// clears), undoes and redoes the operator's changes (Ctrl+Z, Ctrl+Y or Ctrl+Shift+Z) and
// emits changed() after every change of the codes. Screen readers read its codes as text.
class CEditWnd : public QWidget {
    Q_OBJECT
public:
    static constexpr int PasteCommand = 2003;
    static constexpr int ClearCommand = 2004;

    explicit CEditWnd(QWidget* parent = nullptr, int controlId = 0);

    // Edits a state owned elsewhere (an editor model's field); until one is set the window
    // edits a state of its own. The window never deletes it.
    void SetState(GlyphEditModel* edited);
    GlyphEditModel& State() { return *state; }
    const QList<quint32>& Codes() const { return state->codes; }

    void InsertCode(int c);
    void InsertCodes(const QList<quint32>& codes);
    // Pastes the clipboard's text; changed() once.
    void Paste();
    void Clear();
    void Undo();
    void Redo();
    // Puts a state kept earlier back, as a change that can be undone.
    void Restore(const GlyphEditModel::Snapshot& kept);

    // The character a glyph index stands for, as screen readers read the field; printable
    // ASCII by default.
    using CharacterOf = std::function<QString(int characterIndex)>;
    void SetCharacterNames(CharacterOf names);
    QString CharacterText(int from = 0, int to = -1) const;

    // Where the lines of codes without a glyph are written ("DebugOut.log" in the current
    // folder by default); empty: not written.
    void SetMissingGlyphLog(const QString& path) { missingGlyphLog = path; }

    QSize sizeHint() const override { return {360, 80}; }

signals:
    void changed();
    // A paste was cut short because the field holds as many codes as a row keeps.
    void pasteStopped(int limit);

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // Runs a change of the codes; when it changed them, remembers the field as it was for
    // undo and reports the change.
    void Change(const std::function<bool()>& change);
    void AfterChange();
    void ShowMenu(const QPoint& globalPosition);
    QImage& Raster();

    GlyphEditModel ownState;
    GlyphEditModel* state = &ownState;
    QImage cachedRaster;
    QString missingGlyphLog = QStringLiteral("DebugOut.log");
    CharacterOf characterNames;
    QString spokenText; // the text screen readers were last told
};

} // namespace vexa
