#pragma once

#include "render/GlyphEditModel.h"
#include "render/MessageImage.h"

#include <QString>
#include <QStringList>

namespace vexa {

class CMessageTable;
struct DisplayModel;

// What the bitmap-font text editor reads, decides and writes: the row's glyph-code text,
// loaded into the edit field's state, the font and colour typing continues in, whether
// the character picker may open, the preview of the edited codes and the content string
// OK stores ("[DASCII]" and every code followed by ",").
class GlyphTextEditorModel {
public:
    static constexpr int MaxLoadedCodes = 8000;
    static constexpr int FirstPaletteCharacter = 128;
    static constexpr int PaletteSize = 66;
    static constexpr int PickerFontLimit = 4; // fonts below it have picker pictures

    // The font list in the order of the font field of a glyph code.
    static const QStringList FontNames;

    struct Setup {
        const GlyphLibrary* library = nullptr;
        QString dataDir;
        int rows = 7;                        // the model's height
        const DisplayModel* model = nullptr; // the model whose sign the preview plays on
        int signWidth = 0;                   // its columns when the catalogue has none (0: default)
        // The sign the preview shows (its colours); none: the colours as drawn.
        std::optional<PackKind> signKind{};
        LedColour ledColour = LedColour::Red;
    };

    GlyphTextEditorModel(CMessageTable& table, int rowIndex, const Setup& setup);

    GlyphEditModel& Edit() { return edit; }
    const GlyphEditModel& Edit() const { return edit; }
    MessageImage& Preview() { return preview; }
    const CMessageTable& Table() const { return table; }
    int RowIndex() const { return rowIndex; }
    const Setup& Settings() const { return environment; }

    // Fills the edit field and the preview from the row. At most MaxLoadedCodes codes are
    // taken; the font and colour follow the last code unless it is 0.
    void LoadRow();

    int FontIndex() const { return edit.fontIndex; }
    int ColourIndex() const { return edit.colourIndex; }
    void SetFont(int index) { edit.fontIndex = index; }
    void SetColour(int index) { edit.colourIndex = index; }
    bool PickerEnabled() const { return PickerEnabledFor(edit.fontIndex); }
    static bool PickerEnabledFor(int font) { return font >= 0 && font < PickerFontLimit; }

    // The character index picture k of the special-character palette inserts.
    static int PaletteCharacter(int k) { return FirstPaletteCharacter + k; }

    // "[DASCII]" followed by every code of the edit field and ",".
    QString GlyphCodesText() const;
    // Gives the preview the glyph-code text of the edit field.
    void RefreshPreview();

    // Stores the glyph-code text ("[DASCII]" alone when empty) in the row. emptyResult
    // tells the caller the field held no code. False when the file could not be written.
    bool Ok(bool* emptyResult);

private:
    CMessageTable& table;
    int rowIndex;
    Setup environment;
    GlyphEditModel edit;
    MessageImage preview;
};

} // namespace vexa
