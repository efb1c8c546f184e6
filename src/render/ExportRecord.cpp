#include "render/ExportRecord.h"

#include "store/RegularFile.h"

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
    QByteArray held;
    return RegularFile::ReadAll(path, bytes.size(), &held) == RegularFile::Status::Ok && held == bytes;
}

const QByteArray* ExportRecord::Unchanged(const QString& filePath) const {
    if (!stamp || filePath != path)
        return nullptr;
    const std::optional<Stamp> now = StampOf(filePath);
    return now && *now == *stamp ? &bytes : nullptr;
}

bool ExportRecord::Holds(const QString& filePath, const QByteArray& content) {
    if (const QByteArray* known = Unchanged(filePath))
        return *known == content;
    if (!FileHolds(filePath, content))
        return false;
    Remember(filePath, content);
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
