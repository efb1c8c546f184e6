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
//
// Temporaries have short hidden names of their own (".vexa-tmp-XXXXXX" beside the target),
// so a target name of any length the system allows can be written. While a temporary is
// written it is locked and its permission bits are write-only for its owner; the bits of
// the target come just before the rename. A temporary left by a killed writer is known
// by what no user's file has together (the name, those bits, no lock held) and is removed
// by the next write into its folder, by its owner only. Reading never removes anything.
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

    // Removes the temporaries of a killed writer in the folder of path (see above).
    // Returns how many were removed.
    static int RemoveStaleTemporaries(const QString& path);
    // The name pattern of temporaries, for listings that leave them out.
    static bool IsTemporaryName(const QString& fileName);
};

} // namespace vexa
