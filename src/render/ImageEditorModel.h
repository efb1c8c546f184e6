#pragma once

#include "core/ModelCatalogue.h"
#include "render/MessageImage.h"

#include <QString>
#include <QStringList>

namespace vexa {

class CMessageTable;
struct DisplayModel;

// What the image editor reads, decides and writes: the ordered list of image paths of a
// row (entries may repeat), the selected entry, the Add, Del, Up and Down moves, the
// preview of the images side by side, and the image list OK stores ("path;" per entry).
class ImageEditorModel {
public:
    enum class AddResult { Added, Empty, HasSeparator };
    // Why a path with ";" is refused: the list could not be read back (in English; the
    // dialog shows it in the current language).
    static const QString SeparatorRefusal;

    struct Setup {
        const GlyphLibrary* library = nullptr;
        QString dataDir;
        int rows = 16;                       // the model's height
        const DisplayModel* model = nullptr; // the model whose sign the preview plays on
        int signWidth = 0;                   // its columns when the catalogue has none (0: default)
        // The sign the preview shows (its colours); none: the colours as drawn.
        std::optional<PackKind> signKind{};
        LedColour ledColour = LedColour::Red;
        QString picturesDir{}; // where "Import picture…" keeps the pictures it prepares
    };

    ImageEditorModel(CMessageTable& table, int rowIndex, const Setup& setup);

    MessageImage& Preview() { return preview; }
    const CMessageTable& Table() const { return table; }
    int RowIndex() const { return rowIndex; }
    const Setup& Settings() const { return environment; }
    const QStringList& Entries() const { return entries; }
    int Selected() const { return selected; }
    // The selected entry's path, "" when none is selected.
    QString SelectedPath() const;
    void Select(int index);

    // Fills the list and the preview from the row; a text content gives an empty list.
    void LoadRow();

    // Appends a path at the end of the list. A path holding ";" is refused: it would
    // come back as two broken entries.
    AddResult Add(const QString& path);
    // Deletes the selected entry (if any) and selects the last entry.
    void Delete();
    // Moves the selected entry one place up; false when nothing moved.
    bool Up();
    // Moves the selected entry one place down; with nothing selected the first entry goes
    // to the end. False when nothing moved.
    bool Down();

    // Every entry followed by ";".
    QString ImageListText() const;
    void RefreshPreview();

    // With an empty list: emptyResult and nothing written. Otherwise stores the image list
    // in the row. False when the file could not be written.
    bool Ok(bool* emptyResult);

private:
    CMessageTable& table;
    int rowIndex;
    Setup environment;
    QStringList entries;
    int selected = -1;
    MessageImage preview;
};

} // namespace vexa
