#pragma once

#include "app/ui/IContentEditorLauncher.h"

#include <QString>

namespace vexa {

// The launcher used while the content editors are not part of the program: it tells the
// operator plainly that the editor is not available and leaves the row unchanged.
class DefaultEditorLauncher : public IContentEditorLauncher {
public:
    EditorResult Launch(ContentEditorKind kind, int row, QWidget* parent) override;

    static QString EditorName(ContentEditorKind kind);
};

} // namespace vexa
