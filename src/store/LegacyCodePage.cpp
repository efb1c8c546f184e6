#include "store/LegacyCodePage.h"

#include <cerrno>
#include <iconv.h>

namespace vexa {

namespace {

std::vector<std::pair<unsigned char, unsigned char>> LeadBytesOf(int codePage) {
    switch (codePage) {
    case 932:
        return {{0x81, 0x9F}, {0xE0, 0xFC}};
    case 936:
    case 949:
    case 950:
        return {{0x81, 0xFE}};
    case 1361:
        return {{0x84, 0xD3}, {0xD8, 0xDE}, {0xE0, 0xF9}};
    default:
        return {};
    }
}

// Runs one iconv conversion over the whole input, replacing what cannot be converted.
QByteArray Convert(const QByteArray& from, const QByteArray& to, const QByteArray& input,
                   const QByteArray& replacement, int unitSize) {
    iconv_t cd = iconv_open(to.constData(), from.constData());
    if (cd == reinterpret_cast<iconv_t>(-1))
        return {};
    QByteArray out;
    out.reserve(input.size() * 2 + 16);
    char buffer[4096];
    char* in = const_cast<char*>(input.constData());
    size_t inLeft = static_cast<size_t>(input.size());
    while (inLeft > 0) {
        char* outPtr = buffer;
        size_t outLeft = sizeof buffer;
        const size_t rc = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
        out.append(buffer, static_cast<qsizetype>(outPtr - buffer));
        if (rc != static_cast<size_t>(-1))
            continue;
        if (errno == E2BIG)
            continue;
        // EILSEQ: skip one input unit; EINVAL: the input ends inside a character.
        out.append(replacement);
        const size_t skip = std::min(inLeft, static_cast<size_t>(unitSize));
        in += skip;
        inLeft -= skip;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    char* outPtr = buffer;
    size_t outLeft = sizeof buffer;
    iconv(cd, nullptr, nullptr, &outPtr, &outLeft);
    out.append(buffer, static_cast<qsizetype>(outPtr - buffer));
    iconv_close(cd);
    return out;
}

} // namespace

LegacyCodePage::LegacyCodePage(int page) : codePage(page), leadBytes(LeadBytesOf(page)) {}

QByteArray LegacyCodePage::IconvName(int page) {
    return "CP" + QByteArray::number(page);
}

bool LegacyCodePage::IsSupported() const {
    iconv_t cd = iconv_open("UTF-16LE", IconvName(codePage).constData());
    if (cd == reinterpret_cast<iconv_t>(-1))
        return false;
    iconv_close(cd);
    return true;
}

bool LegacyCodePage::IsLeadByte(unsigned char byte) const {
    for (const auto& [low, high] : leadBytes) {
        if (byte >= low && byte <= high)
            return true;
    }
    return false;
}

// Decodes straight into the string: no page gives more UTF-16 units than it has bytes
// (a replacement stands for at least one byte), so the text costs two bytes per input byte
// and nothing more.
QString LegacyCodePage::Decode(QByteArrayView bytes) const {
    if (bytes.isEmpty())
        return {};
    iconv_t cd = iconv_open("UTF-16LE", IconvName(codePage).constData());
    if (cd == reinterpret_cast<iconv_t>(-1))
        return QString::fromLatin1(bytes); // unknown page: keep the bytes readable
    QString text(bytes.size() + 1, Qt::Uninitialized);
    char* in = const_cast<char*>(bytes.data());
    size_t inLeft = static_cast<size_t>(bytes.size());
    qsizetype units = 0;
    const auto room = [&] { return static_cast<size_t>(text.size() - units) * 2; };
    while (inLeft > 0) {
        char* out = reinterpret_cast<char*>(text.data() + units);
        size_t outLeft = room();
        const size_t rc = iconv(cd, &in, &inLeft, &out, &outLeft);
        units = (out - reinterpret_cast<char*>(text.data())) / 2;
        if (rc != static_cast<size_t>(-1))
            continue;
        if (errno == E2BIG || room() < 2) {
            text.resize(text.size() + 64);
            continue;
        }
        // EILSEQ: one byte becomes U+FFFD; EINVAL: the input ends inside a character.
        text[units++] = QChar(0xFFFD);
        ++in;
        --inLeft;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    iconv_close(cd);
    text.truncate(units);
    return text;
}

QByteArray LegacyCodePage::Encode(const QString& text) const {
    if (text.isEmpty())
        return {};
    const QByteArray utf16(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
    const QByteArray out = Convert("UTF-16LE", IconvName(codePage), utf16, "?", 2);
    if (out.isEmpty())
        return text.toLatin1();
    return out;
}

} // namespace vexa
