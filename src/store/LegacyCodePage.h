#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <utility>
#include <vector>

namespace vexa {

// The legacy ("ANSI") code page of files and RTF written by older programs:
// windows-1252 by default, a double-byte page such as 936 for Chinese files.
class LegacyCodePage {
public:
    static constexpr int DefaultCodePage = 1252;

    explicit LegacyCodePage(int codePage = DefaultCodePage);

    int Number() const { return codePage; }
    // True when iconv knows the page on this machine.
    bool IsSupported() const;

    // Inclusive byte ranges that start a two-byte character (empty for single-byte pages).
    const std::vector<std::pair<unsigned char, unsigned char>>& LeadByteRanges() const { return leadBytes; }
    bool IsLeadByte(unsigned char byte) const;

    // Bytes in this page to UTF-16. Invalid or truncated sequences become U+FFFD.
    QString Decode(QByteArrayView bytes) const;
    // UTF-16 to this page. Characters the page cannot hold become '?'.
    QByteArray Encode(const QString& text) const;

    // The iconv name of a Windows code page number ("CP1252").
    static QByteArray IconvName(int codePage);

private:
    int codePage;
    std::vector<std::pair<unsigned char, unsigned char>> leadBytes;
};

} // namespace vexa
