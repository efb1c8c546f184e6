#include "render/ContentGrammar.h"

#include <limits>

namespace vexa {

namespace {

bool StartsWithTag(QStringView text, const QString& tag) {
    return text.startsWith(tag, Qt::CaseSensitive);
}

bool IsAsciiDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

// Fills the embedded part of a date content: RTF text or bitmap-font text, nothing else.
void ParseDateText(const QString& source, ParsedContent* parsed) {
    parsed->embeddedSource = source;
    if (StartsWithTag(source, ContentGrammar::RtfTag)) {
        parsed->embeddedKind = ContentKind::Rtf;
        parsed->embedded = source;
    } else if (StartsWithTag(source, ContentGrammar::BitmapFontTag)) {
        parsed->embeddedKind = ContentKind::BitmapFont;
        parsed->embedded =
            ContentGrammar::RemoveTrailingWhiteSpace(source.mid(ContentGrammar::BitmapFontTag.size()));
    }
}

void ParseDate(const QString& content, ParsedContent* parsed) {
    const qsizetype flagsStart = ContentGrammar::DateTag.size();
    const qsizetype close = content.size() > flagsStart ? content.indexOf(u']', flagsStart) : -1;
    if (close < 0)
        return; // no "]": no flags and no text
    parsed->dateFlagChars = content.mid(flagsStart, close - flagsStart);
    parsed->dateFlags = ContentGrammar::ReadDateFlags(parsed->dateFlagChars);
    ParseDateText(content.mid(close + 1), parsed);
}

} // namespace

ContentKind ContentGrammar::KindOf(const QString& content) {
    if (IsBlank(content))
        return ContentKind::Blank;
    if (StartsWithTag(content, RtfTag))
        return ContentKind::Rtf;
    if (StartsWithTag(content, BitmapFontTag))
        return ContentKind::BitmapFont;
    if (StartsWithTag(content, GlyphCodesTag))
        return ContentKind::GlyphCodes;
    if (StartsWithTag(content, DateTag))
        return ContentKind::Date;
    return ContentKind::ImageList;
}

ParsedContent ContentGrammar::Parse(const QString& content) {
    ParsedContent parsed;
    parsed.kind = KindOf(content);
    switch (parsed.kind) {
    case ContentKind::Blank:
        break;
    case ContentKind::Rtf:
        parsed.text = content;
        break;
    case ContentKind::BitmapFont:
        parsed.text = RemoveTrailingWhiteSpace(content.mid(BitmapFontTag.size()));
        break;
    case ContentKind::GlyphCodes:
        parsed.text = RemoveTrailingWhiteSpace(content.mid(GlyphCodesTag.size()));
        parsed.glyphCodes = ParseGlyphCodes(parsed.text);
        break;
    case ContentKind::Date:
        ParseDate(content, &parsed);
        break;
    case ContentKind::ImageList:
        parsed.text = content;
        parsed.imagePaths = CutImageList(content);
        break;
    }
    return parsed;
}

bool ContentGrammar::IsBlank(QStringView text) {
    for (QChar c : text) {
        if (!c.isSpace())
            return false;
    }
    return true;
}

QString ContentGrammar::RemoveTrailingWhiteSpace(const QString& text) {
    qsizetype end = text.size();
    while (end > 0 && text.at(end - 1).isSpace())
        --end;
    return text.left(end);
}

bool ContentGrammar::ReadAnimationToken(QStringView text, qsizetype i, int* number) {
    if (i < 0 || i > text.size() - AnimationTokenLength)
        return false;
    if (text.at(i) != u'[' || text.mid(i + 1, 4) != u"GIF_" || text.at(i + 8) != u']')
        return false;
    if (number)
        *number = ToInteger(text.mid(i + 5, 3));
    return true;
}

QString ContentGrammar::AnimationTokenText(int number) {
    return QStringLiteral("[GIF_%1]").arg(number, 3, 10, QLatin1Char('0'));
}

qint32 ContentGrammar::ToInteger(QStringView text) {
    qsizetype i = 0;
    while (i < text.size() && text.at(i).isSpace())
        ++i;
    bool negative = false;
    if (i < text.size() && (text.at(i) == u'+' || text.at(i) == u'-')) {
        negative = text.at(i) == u'-';
        ++i;
    }
    constexpr qint64 limit = qint64(std::numeric_limits<qint32>::max()) + 1;
    qint64 value = 0;
    for (; i < text.size() && IsAsciiDigit(text.at(i)); ++i) {
        value = value * 10 + (text.at(i).unicode() - u'0');
        if (value > limit)
            value = limit; // saturate; the remaining digits are still consumed
    }
    if (negative)
        return static_cast<qint32>(std::max(-value, qint64(std::numeric_limits<qint32>::min())));
    return static_cast<qint32>(std::min(value, qint64(std::numeric_limits<qint32>::max())));
}

QList<quint32> ContentGrammar::ParseGlyphCodes(QStringView list) {
    QList<quint32> codes;
    for (QStringView piece : list.split(u',', Qt::SkipEmptyParts))
        codes.append(static_cast<quint32>(ToInteger(piece)));
    return codes;
}

QString ContentGrammar::GlyphCodesText(const QList<quint32>& codes) {
    QString text = GlyphCodesTag;
    for (quint32 code : codes)
        text += QString::number(static_cast<qint32>(code)) + u',';
    return text;
}

DateFlags ContentGrammar::ReadDateFlags(QStringView flagChars) {
    DateFlags flags{};
    for (int k = 0; k < DateFlagCount && k < flagChars.size(); ++k) {
        const QChar c = flagChars.at(k);
        flags[static_cast<size_t>(k)] = IsAsciiDigit(c) && c != u'0';
    }
    return flags;
}

QString ContentGrammar::DateTagText(const DateFlags& flags) {
    QString text = DateTag;
    for (bool on : flags)
        text += on ? u'1' : u'0';
    return text + u']';
}

QStringList ContentGrammar::CutImageList(QStringView list) {
    QStringList paths;
    qsizetype start = 0;
    for (qsizetype end = list.indexOf(u';'); end >= 0; end = list.indexOf(u';', start)) {
        paths.append(list.mid(start, end - start).toString());
        start = end + 1;
    }
    return paths;
}

QString ContentGrammar::ImageListText(const QStringList& paths) {
    QString text;
    for (const QString& path : paths)
        text += path + u';';
    return text;
}

} // namespace vexa
