#pragma once

#include "store/LegacyCodePage.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace vexa {

enum class TextEncoding : int { NotOpen = 0, Ansi = 1, Utf16Le = 2, Utf16Be = 3, Utf8 = 4 };

// Reads a text file whose encoding is told by its byte-order mark: UTF-8 with mark,
// UTF-16LE, UTF-16BE, and everything else as the legacy code page.
class EncodedTextReader {
public:
    // Largest file read; bigger files are refused rather than read in part.
    static constexpr qint64 MaxFileBytes = 16 * 1024 * 1024;

    enum class Status { Ok, CannotOpen, TooLarge };

    explicit EncodedTextReader(LegacyCodePage codePage = LegacyCodePage());

    // Opens the file, detects its encoding and reads its whole text. Only regular files are
    // opened, without blocking: a directory, a device or a named pipe counts as unopenable.
    Status OpenDetect(const QString& path);

    TextEncoding Encoding() const { return encoding; }
    const QString& Text() const { return text; }
    // Hands the text over (the reader keeps none).
    QString TakeText() { return std::move(text); }
    // A hash of the file's bytes, to tell a changed file from one only touched.
    quint64 ContentHash() const { return contentHash; }
    qint64 FileSize() const { return fileSize; }
    // Why the last OpenDetect failed, with the path ("" after success).
    const QString& Reason() const { return reason; }

    // Detection and decoding of bytes already in memory (the file's whole content).
    static TextEncoding Detect(const QByteArray& bytes, int* bodyOffset);
    static QString DecodeBody(QByteArrayView body, TextEncoding encoding, const LegacyCodePage& codePage);
    static quint64 HashOf(QByteArrayView bytes);

private:
    LegacyCodePage codePage;
    TextEncoding encoding = TextEncoding::NotOpen;
    QString text;
    qint64 fileSize = 0;
    quint64 contentHash = 0;
    QString reason;
};

} // namespace vexa
