#include "render/TextEditorModel.h"

#include "core/ModelCatalogue.h"
#include "store/CMessageTable.h"

namespace vexa {

int TextEditorModel::DefaultHeightTwips() const {
    const QLatin1StringView name(model.name);
    if (name == QLatin1StringView("P04") || name == QLatin1StringView("P05"))
        return 240;
    return model.rows * 20;
}

ContentEditorModel::LoadedText TextEditorModel::LoadRow() {
    return TextOf(ReadRow());
}

QString TextEditorModel::RefreshPreview(const QString& textWithoutBreaks, const QString& rtf) {
    preview.SetContent(TextContent(textWithoutBreaks, rtf));
    return CounterText(textWithoutBreaks);
}

QString TextEditorModel::ContentFor(const QString& textWithoutBreaks, const QString& rtf) const {
    return TextContent(textWithoutBreaks.trimmed(), rtf);
}

bool TextEditorModel::Accept(const QString& textWithoutBreaks, const QString& rtf) {
    emptyResult = textWithoutBreaks.trimmed().isEmpty();
    return table.WriteContent(rowIndex, ContentFor(textWithoutBreaks, rtf));
}

} // namespace vexa
