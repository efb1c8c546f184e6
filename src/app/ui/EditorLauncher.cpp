#include "app/ui/EditorLauncher.h"

#include "app/CVexaApp.h"
#include "core/ModelCatalogue.h"
#include "editors/CDialogDate.h"
#include "editors/CTxtDialog.h"
#include "editors/GlyphEditors.h"

namespace vexa {

namespace {

template <typename Dialog> EditorResult Run(Dialog& dialog) {
    EditorResult result;
    result.accepted = dialog.exec() == QDialog::Accepted;
    result.emptyResult = result.accepted && dialog.EmptyResult();
    return result;
}

} // namespace

EditorLauncher::EditorLauncher(CVexaApp& context) : app(context) {}

EditorResult EditorLauncher::Launch(ContentEditorKind kind, int row, QWidget* parent) {
    const DisplayModel* model = ModelCatalogue::Find(app.settingsFile.LedType());
    if (!model)
        return unavailable.Launch(kind, row, parent);
    ContentEditorModel::Environment environment;
    environment.library = &app.glyphLibrary;
    environment.dataDir = app.Paths().DataDir();
    environment.codePage = app.CodePage();
    switch (kind) {
    case ContentEditorKind::Text: {
        CTxtDialog dialog(app.messageTable, *model, row, environment, parent);
        return Run(dialog);
    }
    case ContentEditorKind::Date: {
        CDialogDate dialog(app.messageTable, *model, row, environment, parent);
        return Run(dialog);
    }
    case ContentEditorKind::BitmapFontText:
        return GlyphEditors::LaunchBitmapFontEditor(app, row, parent);
    case ContentEditorKind::Image:
        return GlyphEditors::LaunchImageEditor(app, row, parent);
    }
    return unavailable.Launch(kind, row, parent);
}

} // namespace vexa
