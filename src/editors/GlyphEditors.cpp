#include "editors/GlyphEditors.h"

#include "app/CVexaApp.h"
#include "core/ModelCatalogue.h"
#include "editors/CDialogImg.h"
#include "editors/CWtxtDialog.h"

namespace vexa {

EditorResult GlyphEditors::LaunchBitmapFontEditor(CVexaApp& app, int row, QWidget* parent) {
    GlyphTextEditorModel::Setup setup;
    setup.library = &app.glyphLibrary;
    setup.dataDir = app.Paths().DataDir();
    setup.rows = app.signLink.rows;
    setup.model = ModelCatalogue::Find(app.settingsFile.LedType());
    setup.signWidth = app.settingsFile.SignWidth();
    setup.signKind = app.signLink.packKind;
    setup.ledColour = app.rowImages.Led();
    CWtxtDialog dialog(row, app.messageTable, setup, GlyphLibrary::PickerDir(setup.dataDir), parent);
    EditorResult result;
    result.accepted = dialog.exec() == QDialog::Accepted;
    result.emptyResult = dialog.EmptyResult();
    return result;
}

EditorResult GlyphEditors::LaunchImageEditor(CVexaApp& app, int row, QWidget* parent) {
    ImageEditorModel::Setup setup;
    setup.library = &app.glyphLibrary;
    setup.dataDir = app.Paths().DataDir();
    setup.rows = app.signLink.rows;
    setup.model = ModelCatalogue::Find(app.ModelName());
    setup.signWidth = app.settingsFile.SignWidth();
    setup.signKind = app.signLink.packKind;
    setup.ledColour = app.rowImages.Led();
    setup.picturesDir = app.Paths().PicturesDir();
    CDialogImg dialog(row, app.messageTable, setup, parent);
    EditorResult result;
    result.accepted = dialog.exec() == QDialog::Accepted;
    result.emptyResult = dialog.EmptyResult();
    return result;
}

} // namespace vexa
