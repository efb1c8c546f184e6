#pragma once

#include "render/MessageImage.h"
#include "render/RichText.h"

#include <QRgb>
#include <QString>
#include <QStringList>

namespace vexa {

class CMessageTable;
class GlyphLibrary;
struct DisplayModel;

// What the text editor and the date editor share, without widgets: the row they edit,
// the preview they own, the format controls' lists and rules (face, size, colour, style),
// the Y offset list with its arrows, the Arabic flag, the default character format of the
// model and the palettes' token rule. The dialogs hand it the text of their rich text
// field as two strings: the text without line breaks and the field's RTF document.
class ContentEditorModel {
public:
    static constexpr int TextLimit = 255;    // characters the text field holds
    static constexpr int PaletteLimit = 248; // a palette inserts only below this length
    static constexpr int YOffsetMin = -8;
    static constexpr int YOffsetMax = 8;
    static constexpr int YOffsetCount = YOffsetMax - YOffsetMin + 1;
    static constexpr int InitialSizeIndex = 3; // "9"
    static constexpr QRgb Yellow = 0xFFFFFF00u;

    // What the editors read besides the row: the shared glyph library, the Data folder of
    // bitmap-font glyphs and the legacy code page of RTF bytes.
    struct Environment {
        const GlyphLibrary* library = nullptr;
        QString dataDir;
        int codePage = 1252;
        int signWidth = 0;                    // columns of the sign the preview plays on (0: the model's)
        LedColour ledColour = LedColour::Red; // the colour of single-colour signs in the preview
    };

    // What LoadRow found for the text field: nothing, an RTF document or plain text.
    struct LoadedText {
        enum Kind { Empty, Rtf, Plain };
        Kind kind = Empty;
        QString text;
    };

    // What the format controls show for the character format at the selection; -1 keeps
    // a list's selection (no entry matches).
    struct FormatView {
        bool bold = false;
        bool italic = false;
        bool underline = false;
        int faceIndex = -1;
        int sizeIndex = -1;
        int colourIndex = -1;
    };

    ContentEditorModel(CMessageTable& table, const DisplayModel& model, int rowIndex,
                       const Environment& environment);
    virtual ~ContentEditorModel() = default;
    ContentEditorModel(const ContentEditorModel&) = delete;
    ContentEditorModel& operator=(const ContentEditorModel&) = delete;

    const DisplayModel& Model() const { return model; }
    int RowIndex() const { return rowIndex; }
    const CMessageTable& Table() const { return table; }
    int SignWidth() const { return signWidth; }
    bool IsSevenRow() const;
    // Models P04 and P05 have no face palette.
    bool FacePaletteVisible() const;
    // The model's character format for new text (face, colour, height by model).
    CharFormat DefaultFormat() const;

    // The preview of the row as the sign will show it; the dialog's CImageWnd shows it.
    MessageImage& Preview() { return preview; }

    // --- The format controls.
    QString faceName = QStringLiteral("Arial");
    int fontSize = 12; // points
    QRgb textColour = Yellow;

    static QStringList SizeEntries();    // "6" ... "20"
    static QStringList YOffsetEntries(); // "-8" ... "8"
    // The face list: every installed family plus the model's default face when it is not
    // installed under its own name (it is drawn with a substitute), sorted.
    QStringList FaceEntries(const QStringList& installedFamilies) const;
    // The first entry that begins with text (case-insensitive), -1 for none.
    static int PrefixIndex(const QStringList& entries, const QString& text);

    // Takes the format at the selection into faceName, fontSize and textColour and says
    // what the lists and style buttons show.
    FormatView ShowSelectionFormat(const CharFormat& atSelection, const QStringList& faceEntries);
    // The format to give the selection: the format at the selection with the three styles,
    // textColour, fontSize and faceName.
    CharFormat ApplyFormat(CharFormat atSelection, bool bold, bool italic, bool underline) const;
    void ChooseColour(int index);

    // --- Row flags, written to the row at once.
    // The Y offset entry of the row's offset, -1 when it is outside -8..8.
    int YOffsetIndex() const;
    void ChooseYOffset(int index);
    // The arrows: direction -1 (up, toward "-8") or +1 (down). Returns the entry chosen.
    int StepYOffset(int currentIndex, int direction);
    bool Arabic() const;
    void SetArabic(bool on);

    // --- Palettes and counter, on the text without line breaks.
    static bool PaletteAccepts(const QString& text) { return text.size() < PaletteLimit; }
    static QString Token(int number);
    static QString CounterText(const QString& text);
    static QString WithoutLineBreaks(const QString& text);
    // How many characters the text field would hold for a loaded row (a line break counts
    // one). A row stored longer than TextLimit (by another program) is not opened: loading
    // it would freeze the window and cutting it would lose it.
    static qsizetype TextLength(const LoadedText& loaded, int codePage);

protected:
    // Reads the row's content string and sets up the preview's rows, offset and Arabic flag.
    QString ReadRow();
    // The text as the content string holds it on this model: "[ASCII]text" on 7-row
    // models, the RTF document on the others.
    QString TextContent(const QString& text, const QString& rtf) const;
    static LoadedText TextOf(const QString& embedded);
    // The height of DefaultFormat in twentieths of a point.
    virtual int DefaultHeightTwips() const = 0;
    void RefreshPreviewFlags();

    CMessageTable& table;
    const DisplayModel& model;
    const int rowIndex;
    int signWidth = 0;
    MessageImage preview;
};

} // namespace vexa
