#include "render/CodePageDecoder.h"

namespace vexa {

QChar CodePageDecoder::DecodeSingleUnit(unsigned char byte) {
    if (byte < 0x80)
        return QChar(byte);
    char16_t& cached = singles[byte - 0x80];
    if (cached == 0) {
        const QString decoded = page.Decode(QByteArray(1, static_cast<char>(byte)));
        cached = decoded.size() == 1 ? decoded.at(0).unicode() : u'\uFFFD';
    }
    return QChar(cached);
}

QString CodePageDecoder::DecodePair(unsigned char lead, unsigned char trail) {
    const auto key = static_cast<quint16>((lead << 8) | trail);
    const auto found = pairs.constFind(key);
    if (found != pairs.constEnd())
        return *found;
    QByteArray bytes;
    bytes.append(static_cast<char>(lead));
    bytes.append(static_cast<char>(trail));
    const QString decoded = page.Decode(bytes);
    pairs.insert(key, decoded);
    return decoded;
}

QString CodePageDecoder::Decode(const QByteArray& bytes) {
    QString text;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto byte = static_cast<unsigned char>(bytes.at(i));
        if (i + 1 < bytes.size() && IsLeadByte(byte))
            text += DecodePair(byte, static_cast<unsigned char>(bytes.at(++i)));
        else
            text += DecodeSingle(byte);
    }
    return text;
}

} // namespace vexa
