#pragma once

#include <QByteArray>
#include <QString>

namespace vexa {

// Replaces a file's content atomically: the bytes go to a temporary file beside the target,
// which is flushed to disk and renamed over the target only when every byte was written.
// A crash, a full disk or a size limit never leaves a truncated target; the old file stays.
// (QSaveFile is not used: it reports success after a short write to a full device.)
class AtomicFile {
public:
    enum class Result { Ok, CannotCreate, WriteFailed };

    static Result Write(const QString& path, const QByteArray& bytes, QString* errorText = nullptr);
};

} // namespace vexa
