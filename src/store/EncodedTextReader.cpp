#include "store/EncodedTextReader.h"

#include <QFile>
#include <QFileInfo>
#include <QtEndian>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>

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
        return codePage.Decode(body.toByteArray());
    case TextEncoding::NotOpen:
        break;
    }
    return {};
}

EncodedTextReader::Status EncodedTextReader::OpenDetect(const QString& path) {
    encoding = TextEncoding::NotOpen;
    text.clear();
    fileSize = 0;
    reason.clear();
    const auto refuse = [&](Status status, const QString& why) {
        reason = QStringLiteral("%1: %2").arg(path, why);
        return status;
    };
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return refuse(Status::CannotOpen, QString::fromLocal8Bit(std::strerror(errno)));
    if (S_ISDIR(st.st_mode))
        return refuse(Status::CannotOpen, QString::fromLocal8Bit(std::strerror(EISDIR)));
    if (!S_ISREG(st.st_mode))
        return refuse(Status::CannotOpen, QStringLiteral("not a regular file"));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return refuse(Status::CannotOpen, file.errorString());
    fileSize = file.size();
    const QString tooLarge = QStringLiteral("%1 bytes long; files above 16 MiB are not read");
    if (fileSize > MaxFileBytes)
        return refuse(Status::TooLarge, tooLarge.arg(fileSize));
    const QByteArray bytes = file.read(MaxFileBytes + 1);
    if (bytes.size() > MaxFileBytes) // a file that grew while being read
        return refuse(Status::TooLarge, tooLarge.arg(bytes.size()));
    int offset = 0;
    encoding = Detect(bytes, &offset);
    text = DecodeBody(QByteArrayView(bytes).sliced(offset), encoding, codePage);
    return Status::Ok;
}

} // namespace vexa
