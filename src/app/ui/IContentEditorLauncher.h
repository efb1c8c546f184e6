#pragma once

#include "app/ContentEditing.h"

class QWidget;

namespace vexa {

// Opens the content editor of one message row. The editor is modal; it reads the row's
// content and parameters from the open message file itself and, on OK, writes the new
// content string into the file itself. It reports whether it ended with OK and whether
// it was confirmed with nothing to store (emptyResult); the main window does the rest.
class IContentEditorLauncher {
public:
    virtual ~IContentEditorLauncher() = default;
    virtual EditorResult Launch(ContentEditorKind kind, int row, QWidget* parent) = 0;
};

} // namespace vexa
