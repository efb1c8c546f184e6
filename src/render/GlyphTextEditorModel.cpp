#include "render/GlyphTextEditorModel.h"

#include "render/ContentGrammar.h"
#include "store/CMessageTable.h"

namespace vexa {

const QStringList GlyphTextEditorModel::FontNames = {
    QStringLiteral("7x6"),   QStringLiteral("7x9"), QStringLiteral("7x11"), QStringLiteral("7x17"),
    QStringLiteral("Small"), QStringLiteral("5x6"), QStringLiteral("5x11"),
};

GlyphTextEditorModel::GlyphTextEditorModel(CMessageTable& messageTable, int row, const Setup& setup)
    : table(messageTable), rowIndex(row), environment(setup) {
    edit.glyphLibrary = setup.library;
    preview.glyphLibrary = setup.library;
    preview.dataDir = setup.dataDir;
    preview.rows = setup.rows;
    preview.signKind = setup.signKind;
    preview.ledColour = setup.ledColour;
    preview.exportHeight = 0;
}

void GlyphTextEditorModel::LoadRow() {
    const QString content = table.ReadContent(rowIndex);
    if (!content.startsWith(ContentGrammar::GlyphCodesTag))
        return;
    QList<quint32> codes = ContentGrammar::Parse(content).glyphCodes;
    if (codes.size() > MaxLoadedCodes)
        codes.resize(MaxLoadedCodes);
    if (codes.isEmpty())
        return;
    if (const quint32 last = codes.last(); last != 0) {
        edit.fontIndex = static_cast<int>(last >> 13);
        edit.colourIndex = static_cast<int>((last >> 11) & 3);
    }
    preview.SetContent(content);
    edit.InsertCodes(codes);
}

QString GlyphTextEditorModel::GlyphCodesText() const {
    return ContentGrammar::GlyphCodesText(edit.codes);
}

void GlyphTextEditorModel::RefreshPreview() {
    preview.SetContent(GlyphCodesText());
}

bool GlyphTextEditorModel::Ok(bool* emptyResult) {
    if (emptyResult)
        *emptyResult = edit.codes.isEmpty();
    return table.WriteContent(rowIndex, GlyphCodesText());
}

} // namespace vexa
