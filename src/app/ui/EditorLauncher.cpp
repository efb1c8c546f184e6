#include "app/ui/EditorLauncher.h"

#include "app/CVexaApp.h"
#include "core/ModelCatalogue.h"
#include "editors/CDialogDate.h"
#include "editors/CTxtDialog.h"
#include "editors/GlyphEditors.h"

#include <QMessageBox>

namespace vexa {

namespace {

template <typename Dialog> EditorResult Run(Dialog& dialog) {
    EditorResult result;
    result.accepted = dialog.exec() == QDialog::Accepted;
    result.emptyResult = result.accepted && dialog.EmptyResult();
    return result;
}

// Opens the editor over its model unless the row holds more text than the editor takes;
// such a row is left as it is, and the operator is told why the editor did not open.
template <typename Dialog, typename Model>
EditorResult RunChecked(std::unique_ptr<Model> model, int row, const CVexaApp& app, QWidget* parent) {
    const qsizetype length = ContentEditorModel::TextLength(model->LoadRow(), app.CodePage());
    if (length > ContentEditorModel::TextLimit) {
        QMessageBox::warning(parent, app.texts.Get(LanguageTexts::Text::CaptionWarning),
                             app.texts.Get(LanguageTexts::Text::RowTooLongForEditor)
                                 .arg(row)
                                 .arg(length)
                                 .arg(ContentEditorModel::TextLimit));
        return {};
    }
    Dialog dialog(std::move(model), parent);
    return Run(dialog);
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
    environment.signWidth = app.settingsFile.SignWidth();
    environment.ledColour = app.rowImages.Led();
    switch (kind) {
    case ContentEditorKind::Text:
        return RunChecked<CTxtDialog>(
            std::make_unique<TextEditorModel>(app.messageTable, *model, row, environment), row, app, parent);
    case ContentEditorKind::Date:
        return RunChecked<CDialogDate>(
            std::make_unique<DateEditorModel>(app.messageTable, *model, row, environment), row, app, parent);
    case ContentEditorKind::BitmapFontText:
        return GlyphEditors::LaunchBitmapFontEditor(app, row, parent);
    case ContentEditorKind::Image:
        return GlyphEditors::LaunchImageEditor(app, row, parent);
    }
    return unavailable.Launch(kind, row, parent);
}

} // namespace vexa
