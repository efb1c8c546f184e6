#pragma once

#include "core/ModelCatalogue.h"

#include <optional>

namespace vexa {

class CMessageTable;

// The content editors a row can open.
enum class ContentEditorKind { Text, BitmapFontText, Image, Date };

// How a content editor ended: accepted (OK) or not, and whether it was confirmed with
// nothing to store.
struct EditorResult {
    bool accepted = false;
    bool emptyResult = false;
};

// What an ended edit does to its row.
struct RowEditOutcome {
    bool changed = false;      // false: the row stays exactly as it was
    bool clearContent = false; // the row's content string becomes ""
    int kind = 0;              // the row's new kind
    int sendFlag = 0;          // the row's new send flag
};

// The two ways of editing a row's content: choosing an item of its content button menu
// (20091 Text, 20092 Image, 20093 Date) or double-clicking its preview. They differ for an
// editor confirmed empty: through the menu the row becomes an empty text row that is
// sent, through a double-click an empty row that is not.
class ContentEditing {
public:
    // The editor of a content menu item; nothing for any other item.
    static std::optional<ContentEditorKind> EditorForItem(const DisplayModel* model, int item);
    // The editor a double-click opens for a row of this kind; nothing for an empty row.
    static std::optional<ContentEditorKind> EditorForKind(const DisplayModel* model, int kind);

    static RowEditOutcome AfterMenuEdit(int item, EditorResult result);
    static RowEditOutcome AfterDoubleClickEdit(int kind, EditorResult result);

    // Writes an outcome into the row: clears the content when asked, sets kind and send
    // flag and saves the parameters, so the file never holds a new content with the old
    // kind. Returns false when the file could not be written.
    static bool Apply(CMessageTable& table, int row, const RowEditOutcome& outcome);
};

} // namespace vexa
