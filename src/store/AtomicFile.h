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
    // Synced: the bytes reach the disk before the rename, so even a power cut leaves the
    // old or the new content. Regenerable: for files the program writes again from its own
    // state whenever it needs them (exported bitmaps). No flush: the rename of the complete
    // temporary file still means no reader and no crash of the program ever sees a partial
    // file; only a power cut right after the write may lose the new content.
    enum class Durability { Synced, Regenerable };

    static Result Write(const QString& path, const QByteArray& bytes, QString* errorText = nullptr,
                        Durability durability = Durability::Synced);
};

} // namespace vexa
