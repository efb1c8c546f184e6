#pragma once

#include <QImage>
#include <QList>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>

namespace vexa {

class GlyphLibrary;

// The state of the glyph edit field of the bitmap-font text editor: the glyph codes being
// edited, the font and colour given to typed characters, the caret, and the layout of the
// glyphs drawn two times enlarged with line breaks. The widget CEditWnd paints what
// Render() returns and forwards keys and clicks here.
class GlyphEditModel {
public:
    static constexpr int TypingLimit = 255; // maxCodes: typing stops once more are held
    static constexpr int PasteLimit = 8000; // a row loads back at most this many codes
    static constexpr int MinLineHeight = 18;
    static constexpr int Scale = 2;
    static constexpr QSize CaretSize{3, 16};
    static constexpr quint32 CharacterBits = 0x7FF; // the character index of a code

    QList<quint32> codes;
    int fontIndex = 0;
    int colourIndex = 0;
    int maxCodes = TypingLimit;
    int caretIndex = 0;
    const GlyphLibrary* glyphLibrary = nullptr;

    // The glyph code of character index c in the current font and colour.
    quint32 CodeOf(int c) const;

    // Inserts c in the current font and colour at the caret and moves the caret past it.
    void InsertCode(int c);
    // Inserts ready codes in order at the caret, advancing it.
    void InsertCodes(const QList<quint32>& ready);
    // A typed character: Backspace (8) removes the code before the caret; any other is
    // inserted unless more than maxCodes codes are held. True when the codes changed.
    bool TypeCharacter(char16_t c);

    enum class CaretKey { End, Home, Back, Forward, Delete };
    // A caret key released. True when the codes changed (Delete removed one).
    bool CaretKeyReleased(CaretKey key);

    struct PasteResult {
        int inserted = 0;
        bool stopped = false; // the text was longer than the field may hold
    };
    // Inserts every UTF-16 code unit of text as InsertCode would, without the typing
    // limit, until the field holds PasteLimit codes.
    PasteResult Paste(const QString& text);
    // Empties the field. True when there was something to remove.
    bool Clear();

    // Undo and redo of the operator's changes. The widget keeps the field as it was before
    // a change and remembers it once the change happened; loading a row is no change.
    struct Snapshot {
        QList<quint32> codes;
        int caretIndex = 0;
        friend bool operator==(const Snapshot&, const Snapshot&) = default;
    };
    static constexpr int MaxUndoSteps = 1000;
    Snapshot Keep() const { return {codes, caretIndex}; }
    // Takes before as the state an undo returns to; what could be redone is dropped.
    void Remember(const Snapshot& before);
    bool Undo();
    bool Redo();
    bool CanUndo() const { return !undoSteps.isEmpty(); }
    bool CanRedo() const { return !redoSteps.isEmpty(); }
    // Puts kept back, as one change that can be undone. False when the field already is so.
    bool Restore(const Snapshot& kept);

    struct PlacedGlyph {
        int index;  // position in codes
        QRect rect; // enlarged rectangle in the client area
        const QImage* glyph;
    };
    struct Layout {
        QList<PlacedGlyph> glyphs;
        QList<int> missing; // positions of codes without a glyph
        QPoint caret;
    };
    // Lays the glyphs out for a client area clientWidth pixels wide.
    Layout LayOut(int clientWidth) const;
    // The caret index a click at point gives.
    int HitTest(int clientWidth, QPoint point) const;

    // The field drawn: black, the glyphs enlarged by the layout. The lines of codes without
    // a glyph are appended to missingLines.
    QImage Render(QSize client, QStringList* missingLines = nullptr) const;
    // "FontType:%d, FontColor:%d, nChar:%c\r\n" of a code.
    static QString MissingGlyphLine(quint32 code);
    // Writes the lines of one drawing as UTF-16 text (the file is made anew).
    static bool WriteMissingGlyphLog(const QString& path, const QStringList& lines);

private:
    const QImage* GlyphOf(quint32 code) const;
    void Take(const Snapshot& snapshot);

    QList<Snapshot> undoSteps;
    QList<Snapshot> redoSteps;
};

} // namespace vexa
