#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

class QFile;

namespace vexa {

// Opens the files the program reads or appends to. A path is opened without blocking and
// checked on the descriptor it gave, so a named pipe, a device or a directory put where a
// file is expected never stalls the program, and nothing can be swapped in between the
// check and the use. Only regular files are taken.
class RegularFile {
public:
    enum class Status { Ok, CannotOpen, TooLarge };

    // A descriptor open for reading, or -1; reason (when given) receives the path and why.
    static int OpenForReading(const QString& path, QString* reason = nullptr);
    // file reads from the descriptor OpenForReading gave (closed with the file).
    static bool Open(QFile& file, const QString& path, QString* reason = nullptr);
    // The whole file, when it holds at most maxBytes.
    static Status ReadAll(const QString& path, qint64 maxBytes, QByteArray* bytes, QString* reason = nullptr);
    // A descriptor open for appending (O_APPEND, created when missing), or -1.
    static int OpenForAppending(const QString& path, QString* reason = nullptr);
    // Writes every byte to fd, going on after interruptions; false with errno set (ENOSPC
    // when the system took nothing and named no error).
    static bool WriteAll(int fd, QByteArrayView bytes);
};

} // namespace vexa
