#pragma once

#include "render/RichText.h"

#include <QString>

namespace vexa {

// Writes rich text as an RTF document the way a rich-edit control streams its whole content:
// 7-bit characters only, "{\rtf1\ansi\ansicpg1252\deff0" with a font table of the faces used
// (each with its \fcharset) and a colour table whose first entry is empty, then
// "\viewkind4\uc1\pard" and the runs with \f \fs \cf \b \i \ul changes, text outside ASCII as
// \uN? and "\r" as \par, closed by "\par" and "}".
//
// Line breaks are only put where a brace or a closed control word precedes them, so the
// document reads the same after its carriage-return/line-feed pairs have been removed (as the
// message file does when it stores a content string).
class RtfWriter {
public:
    static QString Write(const RichText& text);
    // endFormat is the format of the closing paragraph mark: the format an empty document has.
    static QString Write(const RichText& text, const CharFormat& endFormat);

    // The \fcharset a face needs when its format does not name one: the charset of the
    // Chinese, Japanese and Korean system faces, 0 for every other face.
    static int CharsetOfFace(const QString& face);
};

} // namespace vexa
