#include "render/ImageEditorModel.h"

#include "render/ContentGrammar.h"
#include "store/CMessageTable.h"
#include "store/LanguageTexts.h"

namespace vexa {

const QString ImageEditorModel::SeparatorRefusal =
    LanguageTexts::DefaultText(LanguageTexts::Text::PathHasSeparator, LanguageTexts::English);

ImageEditorModel::ImageEditorModel(CMessageTable& messageTable, int row, const Setup& given)
    : table(messageTable), rowIndex(row), environment(given) {
    preview.glyphLibrary = given.library;
    preview.dataDir = given.dataDir;
    preview.rows = given.rows;
    preview.signKind = given.signKind;
    preview.ledColour = given.ledColour;
    preview.exportHeight = 0;
}

QString ImageEditorModel::SelectedPath() const {
    return selected >= 0 && selected < entries.size() ? entries[selected] : QString();
}

void ImageEditorModel::Select(int index) {
    selected = index >= 0 && index < entries.size() ? index : -1;
}

void ImageEditorModel::LoadRow() {
    entries.clear();
    selected = -1;
    preview.SetContent(QString());
    const QString content = table.ReadContent(rowIndex);
    if (content.startsWith(ContentGrammar::RtfTag) || content.startsWith(ContentGrammar::BitmapFontTag))
        return;
    preview.SetContent(content);
    entries = ContentGrammar::CutImageList(content);
}

ImageEditorModel::AddResult ImageEditorModel::Add(const QString& path) {
    if (path.isEmpty())
        return AddResult::Empty;
    if (path.contains(u';'))
        return AddResult::HasSeparator;
    entries.append(path);
    RefreshPreview();
    return AddResult::Added;
}

void ImageEditorModel::Delete() {
    if (selected >= 0 && selected < entries.size())
        entries.removeAt(selected);
    selected = static_cast<int>(entries.size()) - 1;
    RefreshPreview();
}

bool ImageEditorModel::Up() {
    if (selected <= 0 || selected >= entries.size())
        return false;
    entries.move(selected - 1, selected);
    --selected;
    RefreshPreview();
    return true;
}

bool ImageEditorModel::Down() {
    const int i = selected;
    if (i + 1 >= entries.size())
        return false;
    // The entry after the selection is taken out and put in again at the selection's
    // place; with nothing selected (-1) that place is the end of the list.
    const QString next = entries.takeAt(i + 1);
    if (i < 0) {
        entries.append(next);
    } else {
        entries.insert(i, next);
        ++selected;
    }
    RefreshPreview();
    return true;
}

QString ImageEditorModel::ImageListText() const {
    return ContentGrammar::ImageListText(entries);
}

void ImageEditorModel::RefreshPreview() {
    preview.SetContent(ImageListText());
}

bool ImageEditorModel::Ok(bool* emptyResult) {
    const bool empty = entries.isEmpty();
    if (emptyResult)
        *emptyResult = empty;
    return empty || table.WriteContent(rowIndex, ImageListText());
}

} // namespace vexa
