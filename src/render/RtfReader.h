#pragma once

#include "render/RichText.h"
#include "store/LegacyCodePage.h"

#include <QString>

namespace vexa {

// Reads an RTF document into plain text with one character format per UTF-16 unit.
//
// The input is the RTF byte stream converted to a string with the legacy code page: characters
// below 256 are taken as bytes (ASCII markup, or text bytes in the code page of the current
// font), characters from 256 up as literal text. It reads what rich-edit controls, office
// suites and document converters write: font table with \fcharset and \cpg, \ansicpg, colour
// table (an empty entry, \cf0 without one and text without \cf are the automatic colour:
// CharFormat::autoColour, drawn in CharFormat::AutoColour), \f \fs \cf \b \i \ul \plain,
// \'hh (double-byte pairs too), \uN with \ucN fallbacks, \par \line \tab and the special
// characters. Other destinations (style sheet, information, pictures, objects, headers,
// every {\* ...} group) are not text; unknown control words are ignored.
//
// Paragraph and line ends become "\r"; the paragraph mark that closes the document is not
// part of the text. Hostile input is safe: group nesting, numbers, fallback skips, table sizes
// and the text length are bounded, and unbalanced or truncated input reads what it can.
class RtfReader {
public:
    // Groups nested deeper than this are skipped whole.
    static constexpr int MaxGroupDepth = 256;
    // Text beyond this many UTF-16 units is dropped.
    static constexpr qsizetype MaxTextLength = qsizetype(1) << 18;
    // At most this many font and colour table entries are kept.
    static constexpr int MaxTableEntries = 1 << 14;
    // \ucN is clamped to this many fallback characters.
    static constexpr int MaxFallbackSkip = 16;

    static RichText Read(const QString& rtf, const LegacyCodePage& ansiPage);
    // Also gives the format of the paragraph mark that closes the document (or the format in
    // effect where reading stopped): the format an empty document types in.
    static RichText Read(const QString& rtf, const LegacyCodePage& ansiPage, CharFormat* endFormat);

    // The Windows code page of an RTF \fcharset value, 0 when the charset has no page of its
    // own and the document's ANSI page applies.
    static int CodePageOfCharset(int charset);
};

} // namespace vexa
