#pragma once

#include "app/ui/DefaultEditorLauncher.h"
#include "app/ui/IContentEditorLauncher.h"

namespace vexa {

class CVexaApp;

// The program's content editors for the model in the settings: the text, bitmap-font
// text, image and date editors; without a known model they answer through
// DefaultEditorLauncher.
class EditorLauncher : public IContentEditorLauncher {
public:
    explicit EditorLauncher(CVexaApp& app);

    EditorResult Launch(ContentEditorKind kind, int row, QWidget* parent) override;

private:
    CVexaApp& app;
    DefaultEditorLauncher unavailable;
};

} // namespace vexa
