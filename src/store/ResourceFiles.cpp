#include "store/ResourceFiles.h"

#include "store/AtomicFile.h"

#include <QFile>

static void InitStoreResources() {
    Q_INIT_RESOURCE(store_resources);
}

namespace vexa {

QString ResourceFiles::ResourcePath(const QString& type, int number) {
    return QStringLiteral(":/%1/%2").arg(type).arg(number);
}

QByteArray ResourceFiles::Read(const QString& type, int number) {
    InitStoreResources();
    QFile file(ResourcePath(type, number));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

bool ResourceFiles::WriteResourceFile(const QString& type, int number, const QString& path,
                                      AtomicFile::Durability durability, QString* errorText) {
    const QByteArray bytes = Read(type, number);
    if (bytes.isEmpty()) {
        if (errorText)
            *errorText = QStringLiteral("no resource %1 %2").arg(type).arg(number);
        return false;
    }
    return AtomicFile::Write(path, bytes, errorText, durability) == AtomicFile::Result::Ok;
}

} // namespace vexa
