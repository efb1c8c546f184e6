#include "render/ExportRecord.h"

#include <QFile>
#include <sys/stat.h>

namespace vexa {

std::optional<ExportRecord::Stamp> ExportRecord::StampOf(const QString& path) {
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return std::nullopt;
    return Stamp{static_cast<quint64>(st.st_dev),         static_cast<quint64>(st.st_ino),
                 static_cast<qint64>(st.st_size),         static_cast<qint64>(st.st_mtim.tv_sec),
                 static_cast<qint64>(st.st_mtim.tv_nsec), static_cast<qint64>(st.st_ctim.tv_sec),
                 static_cast<qint64>(st.st_ctim.tv_nsec)};
}

bool ExportRecord::FileHolds(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() != bytes.size())
        return false;
    return file.readAll() == bytes;
}

bool ExportRecord::Holds(const QString& filePath, const QByteArray& content) {
    const std::optional<Stamp> now = StampOf(filePath);
    if (!now) {
        Forget();
        return false;
    }
    if (stamp && filePath == path && *now == *stamp)
        return content == bytes;
    if (now->size != content.size() || !FileHolds(filePath, content))
        return false;
    path = filePath;
    bytes = content;
    stamp = now;
    return true;
}

void ExportRecord::Remember(const QString& filePath, const QByteArray& content) {
    stamp = StampOf(filePath);
    path = filePath;
    bytes = stamp ? content : QByteArray();
}

void ExportRecord::Forget() {
    path.clear();
    bytes.clear();
    stamp.reset();
}

} // namespace vexa
