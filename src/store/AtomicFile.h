#pragma once

#include <QByteArray>
#include <QString>

namespace vexa {

// Replaces a file's content atomically: the bytes go to a temporary file beside the target,
// which is flushed to disk and renamed over the target only when every byte was written.
// A crash, a full disk or a size limit never leaves a truncated target; the old file stays.
// (QSaveFile is not used: it reports success after a short write to a full device.)
//
// A symbolic link is written through: its final target is replaced, the link stays. A file
// that is marked read-only or that the user may not write is refused, not replaced.
// Temporaries are named <file>.tmp-XXXXXX and locked while they are written, so one left
// by a killed writer is recognised and removed at the next write or read of the file.
class AtomicFile {
public:
    enum class Result { Ok, CannotCreate, WriteFailed };
    // Synced: the bytes reach the disk before the rename, so even a power cut leaves the
    // old or the new content. Regenerable: for files the program writes again from its own
    // state whenever it needs them (exported bitmaps). No flush: the rename of the complete
    // temporary file still means no reader and no crash of the program ever sees a partial
    // file; only a power cut right after the write may lose the new content.
    enum class Durability { Synced, Regenerable };

    // errorText receives the system's reason of a failure.
    static Result Write(const QString& path, const QByteArray& bytes, QString* errorText = nullptr,
                        Durability durability = Durability::Synced);

    // The file a write of path replaces: path with every symbolic link resolved (the path
    // itself when it is not a link, or a link whose target does not exist yet).
    static QString WriteTarget(const QString& path);

    // Removes temporaries of our own naming beside path that no writer holds any more.
    // Returns how many were removed.
    static int RemoveStaleTemporaries(const QString& path);
};

} // namespace vexa
