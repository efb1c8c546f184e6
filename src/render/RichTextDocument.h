#pragma once

#include "render/RichText.h"
#include "store/LegacyCodePage.h"

#include <QFont>
#include <QString>
#include <QTextCharFormat>
#include <QTextFormat>

class QTextDocument;

namespace vexa {

// Moves the content of a text document to and from RTF and RichText: what the rich text field
// of the editors streams out (GetRTF) and in (SetRTF). Paragraph ends and line separators of the
// document are "\r" in RichText. Only face, point size, text colour, bold (weight 600 and more),
// italic and underline travel, plus the RTF charset of the face and the automatic colour, which
// the document keeps in user properties of its character formats.
class RichTextDocument {
public:
    static constexpr int CharsetProperty = QTextFormat::UserProperty + 1;
    // Set on text in the automatic colour: it is shown in CharFormat::AutoColour and stays
    // automatic while nobody gives it another colour.
    static constexpr int AutoColourProperty = QTextFormat::UserProperty + 2;

    // The whole document as an RTF document; an empty document gives a short, complete one.
    static QString GetRTF(const QTextDocument& document);
    // Replaces the whole document by the RTF document. The undo history is cleared.
    static void SetRTF(QTextDocument& document, const QString& rtf, const LegacyCodePage& ansiPage);

    static RichText ToRichText(const QTextDocument& document);
    static void FromRichText(QTextDocument& document, const RichText& text);
    // endFormat is the format typing continues in at the end of the document when its last
    // paragraph is empty (an empty document included).
    static void FromRichText(QTextDocument& document, const RichText& text, const CharFormat& endFormat);

    // Properties the format does not set are taken from the base font (the document's default).
    static CharFormat ToCharFormat(const QTextCharFormat& format, const QFont& base);
    static QTextCharFormat ToTextCharFormat(const CharFormat& format);
};

} // namespace vexa
