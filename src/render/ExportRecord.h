#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

namespace vexa {

// What was last written to one exported file: its bytes and the file's identity and times
// right after the write. Whether the file still holds them is then known from one stat()
// instead of reading the file back. A file that anyone replaced, changed or removed since
// has another inode, size or time and is read back and compared as any file the record
// does not know.
class ExportRecord {
public:
    // The bytes last written to path when the file is untouched since; nullptr otherwise.
    const QByteArray* Unchanged(const QString& path) const;
    // True when the file at path holds exactly bytes (from the record, else read back).
    bool Holds(const QString& path, const QByteArray& bytes);
    // The file at path was just written with bytes (or found to hold them).
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
