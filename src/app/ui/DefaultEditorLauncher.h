#pragma once

#include "app/ui/IContentEditorLauncher.h"

#include <QString>

namespace vexa {

class CVexaApp;

// The program's launcher: the bitmap-font text editor and the image editor open on the
// application's rows; for an editor that is not part of the program (or without an
// application) it tells the operator plainly that the editor is not available and leaves
// the row unchanged.
class DefaultEditorLauncher : public IContentEditorLauncher {
public:
    explicit DefaultEditorLauncher(CVexaApp* context = nullptr) : app(context) {}
    EditorResult Launch(ContentEditorKind kind, int row, QWidget* parent) override;

    static QString EditorName(ContentEditorKind kind);

private:
    CVexaApp* app;
};

} // namespace vexa
