#include "app/ContentEditing.h"

#include "app/RowRules.h"
#include "store/CMessageTable.h"

namespace vexa {

namespace {

ContentEditorKind TextEditorOf(const DisplayModel* model) {
    return model && model->textEditor == TextEditorKind::BitmapFont ? ContentEditorKind::BitmapFontText
                                                                    : ContentEditorKind::Text;
}

} // namespace

std::optional<ContentEditorKind> ContentEditing::EditorForItem(const DisplayModel* model, int item) {
    switch (item) {
    case RowRules::TextItem:
        return TextEditorOf(model);
    case RowRules::ImageItem:
        return ContentEditorKind::Image;
    case RowRules::DateItem:
        return ContentEditorKind::Date;
    default:
        return std::nullopt;
    }
}

std::optional<ContentEditorKind> ContentEditing::EditorForKind(const DisplayModel* model, int kind) {
    if (kind == CMessageTable::KindEmpty)
        return std::nullopt;
    return EditorForItem(model, RowRules::MenuItemBase + kind);
}

RowEditOutcome ContentEditing::AfterMenuEdit(int item, EditorResult result) {
    RowEditOutcome outcome;
    if (!result.accepted || !EditorForItem(nullptr, item))
        return outcome;
    outcome.changed = true;
    outcome.clearContent = result.emptyResult;
    outcome.kind = (result.emptyResult ? RowRules::TextItem : item) - RowRules::MenuItemBase;
    outcome.sendFlag = 1;
    return outcome;
}

RowEditOutcome ContentEditing::AfterDoubleClickEdit(int kind, EditorResult result) {
    RowEditOutcome outcome;
    if (!result.accepted || kind == CMessageTable::KindEmpty)
        return outcome;
    outcome.changed = true;
    outcome.clearContent = result.emptyResult;
    outcome.kind = result.emptyResult ? CMessageTable::KindEmpty : kind;
    outcome.sendFlag = outcome.kind != CMessageTable::KindEmpty ? 1 : 0;
    return outcome;
}

bool ContentEditing::Apply(CMessageTable& table, int row, const RowEditOutcome& outcome) {
    if (!outcome.changed || row < 0 || row >= CMessageTable::RowCount)
        return true;
    if (outcome.clearContent)
        table.StoreContent(row, QString());
    const auto r = static_cast<size_t>(row);
    table.kind[r] = outcome.kind;
    table.sendFlag[r] = outcome.sendFlag;
    return table.SaveParams(); // content and parameters in one write
}

} // namespace vexa
