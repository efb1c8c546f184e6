#pragma once

#include <QString>
#include <QtGlobal>

namespace vexa {

// What identifies a file's content on disk without reading it: device, inode, size and
// the modification and change times in nanoseconds. Any write by any program (an atomic
// replace included, which gives a new inode) changes it.
struct FileStamp {
    bool exists = false;
    quint64 device = 0;
    quint64 inode = 0;
    qint64 size = 0;
    qint64 modifiedNs = 0;
    qint64 changedNs = 0;

    // The stamp of the file at path (symbolic links followed); exists is false when
    // there is nothing there.
    static FileStamp Of(const QString& path);

    friend bool operator==(const FileStamp&, const FileStamp&) = default;
};

} // namespace vexa
