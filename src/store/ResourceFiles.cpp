#include "store/ResourceFiles.h"

#include <QFile>
#include <QSaveFile>

static void InitStoreResources() { Q_INIT_RESOURCE(store_resources); }

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

bool ResourceFiles::WriteResourceFile(const QString& type, int number, const QString& path) {
    const QByteArray bytes = Read(type, number);
    if (bytes.isEmpty())
        return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (file.write(bytes) != bytes.size())
        return false;
    return file.commit();
}

} // namespace vexa
