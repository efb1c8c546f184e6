#pragma once

#include "render/ContentEditorModel.h"

namespace vexa {

// The text editor without widgets: reads the row's text, builds the content string the
// dialog writes ("[ASCII]text" on 7-row models, the RTF document on the others), keeps the
// preview and the counter in step with the text, and writes the content on OK.
class TextEditorModel : public ContentEditorModel {
public:
    using ContentEditorModel::ContentEditorModel;

    // The text field's content from the row: RTF, the plain text of bitmap-font text, or
    // nothing for any other kind. Also sets the preview's rows, offset and Arabic flag.
    LoadedText LoadRow();

    // After every change of the text: the counter's text; the preview shows the content.
    QString RefreshPreview(const QString& textWithoutBreaks, const QString& rtf);

    // OK: writes the content string into the message file. emptyResult tells whether the
    // text, trimmed, was empty. Returns false when the file could not be written.
    bool Accept(const QString& textWithoutBreaks, const QString& rtf);
    bool EmptyResult() const { return emptyResult; }

    // The content string OK writes for a text.
    QString ContentFor(const QString& textWithoutBreaks, const QString& rtf) const;

protected:
    int DefaultHeightTwips() const override;

private:
    bool emptyResult = false;
};

} // namespace vexa
