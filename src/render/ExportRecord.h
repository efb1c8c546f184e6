#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

namespace vexa {

// What was last written to one exported file: its bytes and the file's identity and times
// right after the write. Writing the same bytes to the same file again is then known to
// be needless from one stat() instead of reading the file back. A file that anyone
// replaced, changed or removed since has another inode, size or time and is read back
// and compared as any file the record does not know.
class ExportRecord {
public:
    // True when the file at path holds exactly bytes.
    bool Holds(const QString& path, const QByteArray& bytes);
    // The file at path was just written with bytes.
    void Remember(const QString& path, const QByteArray& bytes);
    void Forget();

private:
    struct Stamp {
        quint64 device = 0, inode = 0;
        qint64 size = 0;
        qint64 modifiedSec = 0, modifiedNsec = 0;
        qint64 changedSec = 0, changedNsec = 0;
        friend bool operator==(const Stamp&, const Stamp&) = default;
    };
    static std::optional<Stamp> StampOf(const QString& path);
    static bool FileHolds(const QString& path, const QByteArray& bytes);

    QString path;
    QByteArray bytes;
    std::optional<Stamp> stamp;
};

} // namespace vexa
