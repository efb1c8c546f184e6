#include "store/EncodedTextReader.h"

#include "store/RegularFile.h"

#include <QHashFunctions>
#include <QtEndian>

namespace vexa {

EncodedTextReader::EncodedTextReader(LegacyCodePage page) : codePage(std::move(page)) {}

TextEncoding EncodedTextReader::Detect(const QByteArray& bytes, int* bodyOffset) {
    const auto byte = [&](int i) { return static_cast<unsigned char>(bytes.at(i)); };
    *bodyOffset = 0;
    if (bytes.size() < 2)
        return TextEncoding::Ansi;
    if (bytes.size() >= 3 && byte(0) == 0xEF) {
        if (byte(1) == 0xBB && byte(2) == 0xBF) {
            *bodyOffset = 3;
            return TextEncoding::Utf8;
        }
        return TextEncoding::Ansi;
    }
    if (byte(0) == 0xFF && byte(1) == 0xFE) {
        *bodyOffset = 2;
        return TextEncoding::Utf16Le;
    }
    if (byte(0) == 0xFE && byte(1) == 0xFF) {
        *bodyOffset = 2;
        return TextEncoding::Utf16Be;
    }
    return TextEncoding::Ansi;
}

QString EncodedTextReader::DecodeBody(QByteArrayView body, TextEncoding encoding,
                                      const LegacyCodePage& codePage) {
    switch (encoding) {
    case TextEncoding::Utf16Le:
    case TextEncoding::Utf16Be: {
        const qsizetype units = body.size() / 2; // an odd last byte is dropped
        QString result(units, Qt::Uninitialized);
        if (encoding == TextEncoding::Utf16Le)
            qFromLittleEndian<char16_t>(body.data(), units, result.data());
        else
            qFromBigEndian<char16_t>(body.data(), units, result.data());
        return result;
    }
    case TextEncoding::Utf8:
        return QString::fromUtf8(body);
    case TextEncoding::Ansi:
        return codePage.Decode(body);
    case TextEncoding::NotOpen:
        break;
    }
    return {};
}

quint64 EncodedTextReader::HashOf(QByteArrayView bytes) {
    return qHashBits(bytes.data(), static_cast<size_t>(bytes.size()), 0x5eed);
}

EncodedTextReader::Status EncodedTextReader::OpenDetect(const QString& path) {
    encoding = TextEncoding::NotOpen;
    text.clear();
    fileSize = 0;
    contentHash = 0;
    reason.clear();
    QByteArray bytes;
    switch (RegularFile::ReadAll(path, MaxFileBytes, &bytes, &reason)) {
    case RegularFile::Status::CannotOpen:
        return Status::CannotOpen;
    case RegularFile::Status::TooLarge:
        return Status::TooLarge;
    case RegularFile::Status::Ok:
        break;
    }
    fileSize = bytes.size();
    contentHash = HashOf(bytes);
    int offset = 0;
    encoding = Detect(bytes, &offset);
    text = DecodeBody(QByteArrayView(bytes).sliced(offset), encoding, codePage);
    return Status::Ok;
}

} // namespace vexa
