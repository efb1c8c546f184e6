#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <array>

namespace vexa {

// The kinds a message content string can have. Blank is the empty message (empty or only
// white space): it draws nothing and exports nothing.
enum class ContentKind { Blank, Rtf, BitmapFont, GlyphCodes, Date, ImageList };

// Number of clock parts a date content can switch on: year, month, day, weekday,
// time of day, seconds.
inline constexpr int DateFlagCount = 6;
using DateFlags = std::array<bool, DateFlagCount>;

// One content string taken apart. Only the members of its kind are filled.
struct ParsedContent {
    ContentKind kind = ContentKind::Blank;
    // Rtf: the whole RTF document. BitmapFont and GlyphCodes: what follows the tag, trailing
    // white space removed. ImageList: the whole string.
    QString text;
    // Date: flags for year, month, day, weekday, time of day, seconds, and the characters
    // they were read from (between "[DATE_" and the first "]").
    DateFlags dateFlags{};
    QString dateFlagChars;
    // Date: the embedded content after the first "]": its kind (Rtf, BitmapFont or Blank when
    // the date has no text of its own), its text (the RTF document, or the bitmap-font text
    // with trailing white space removed) and the raw remainder as stored.
    ContentKind embeddedKind = ContentKind::Blank;
    QString embedded;
    QString embeddedSource;
    // GlyphCodes: the codes in order.
    QList<quint32> glyphCodes;
    // ImageList: each path that is followed by ";".
    QStringList imagePaths;
};

// The grammar of content strings: telling their kind, the tokens inside them, and writing
// the tagged forms the editors store. All comparisons are exact and case-sensitive; every
// read is bounded by the string's length.
class ContentGrammar {
public:
    static inline const QString RtfTag = QStringLiteral("{\\rtf");
    static inline const QString BitmapFontTag = QStringLiteral("[ASCII]");
    static inline const QString GlyphCodesTag = QStringLiteral("[DASCII]");
    static inline const QString DateTag = QStringLiteral("[DATE_");
    static constexpr qsizetype AnimationTokenLength = 9;

    static ParsedContent Parse(const QString& content);
    static ContentKind KindOf(const QString& content);

    // True when the string is empty or holds only white space.
    static bool IsBlank(QStringView text);
    // The text without its trailing Unicode white space (space, tab, line feed, vertical tab,
    // form feed, carriage return, no-break space, ...).
    static QString RemoveTrailingWhiteSpace(const QString& text);

    // "[ASCII]" followed by the text, as the text editor of the 7-row models stores it.
    static QString BitmapFontText(const QString& text) { return BitmapFontTag + text; }

    // True when the nine characters at position i form "[GIF_nnn]". The number is read from
    // the three characters between like ToInteger. Positions outside the text give false.
    static bool ReadAnimationToken(QStringView text, qsizetype i, int* number = nullptr);
    static bool IsAnimationToken(QStringView text, qsizetype i) { return ReadAnimationToken(text, i); }
    // "[GIF_%03d]".
    static QString AnimationTokenText(int number);

    // Decimal string-to-integer conversion as C's wcstol does it on a 32-bit long: leading
    // white space, an optional sign, digits up to the first non-digit; no digits gives 0,
    // overflow clamps to the 32-bit range.
    static qint32 ToInteger(QStringView text);

    // The glyph-code list after "[DASCII]": pieces between commas (runs of commas are one
    // separator, empty pieces are skipped), each converted with ToInteger.
    static QList<quint32> ParseGlyphCodes(QStringView list);
    // "[DASCII]" followed by every code written in decimal (as a signed 32-bit value) and a ",".
    static QString GlyphCodesText(const QList<quint32>& codes);

    // The date flags from the characters after "[DATE_": the first six, each on when it is a
    // digit 1-9; missing or non-digit characters are off.
    static DateFlags ReadDateFlags(QStringView flagChars);
    // "[DATE_%d%d%d%d%d%d]".
    static QString DateTagText(const DateFlags& flags);

    // The image paths of an image list: every piece that is followed by ";".
    static QStringList CutImageList(QStringView list);
    // Every path followed by ";".
    static QString ImageListText(const QStringList& paths);
};

} // namespace vexa
