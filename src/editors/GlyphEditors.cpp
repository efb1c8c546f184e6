#include "editors/GlyphEditors.h"

#include "app/CVexaApp.h"
#include "editors/CDialogImg.h"
#include "editors/CWtxtDialog.h"

namespace vexa {

EditorResult GlyphEditors::LaunchBitmapFontEditor(CVexaApp& app, int row, QWidget* parent) {
    GlyphTextEditorModel::Setup setup;
    setup.library = &app.glyphLibrary;
    setup.dataDir = app.Paths().DataDir();
    setup.rows = app.signLink.rows;
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
    CDialogImg dialog(row, app.messageTable, setup, parent);
    EditorResult result;
    result.accepted = dialog.exec() == QDialog::Accepted;
    result.emptyResult = dialog.EmptyResult();
    return result;
}

} // namespace vexa
