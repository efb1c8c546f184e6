#pragma once

#include "store/LegacyCodePage.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <array>

namespace vexa {

// Decodes the text bytes of one code page into UTF-16, one character at a time, remembering
// what it has decoded: RTF documents deliver their text bytes one \'hh escape at a time.
class CodePageDecoder {
public:
    explicit CodePageDecoder(int codePage) : page(codePage) {}

    bool IsLeadByte(unsigned char byte) const { return byte >= 0x80 && page.IsLeadByte(byte); }

    // One byte that is not the start of a double-byte character. Bytes the page does not
    // define give U+FFFD.
    QString DecodeSingle(unsigned char byte) { return QString(DecodeSingleUnit(byte)); }
    QChar DecodeSingleUnit(unsigned char byte);
    // A lead byte and the byte after it.
    QString DecodePair(unsigned char lead, unsigned char trail);
    // A run of bytes: a lead byte takes the following byte with it.
    QString Decode(const QByteArray& bytes);

private:
    LegacyCodePage page;
    std::array<char16_t, 128> singles{}; // bytes 0x80..0xFF, 0 = not decoded yet
    QHash<quint16, QString> pairs;
};

} // namespace vexa
