#include "store/AppPaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#ifndef VEXA_INSTALL_DATADIR
#define VEXA_INSTALL_DATADIR "/usr/local/share/vexa"
#endif

namespace vexa {

namespace {

QString DefaultWritableRoot(const QString& executableDir) {
    const QFileInfo info(executableDir);
    if (info.isDir() && info.isWritable())
        return executableDir;
    QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (base.isEmpty())
        base = QDir::homePath() + QStringLiteral("/.local/share");
    return base + QStringLiteral("/vexa");
}

} // namespace

AppPaths::AppPaths(const QString& exeDir, const QString& dataDir)
    : executableDir(QDir::cleanPath(exeDir)),
      writableRoot(dataDir.isEmpty() ? DefaultWritableRoot(executableDir)
                                     : QDir::cleanPath(QDir(dataDir).absolutePath())) {}

AppPaths AppPaths::ForApplication(const QString& dataDirOverride) {
    return AppPaths(QCoreApplication::applicationDirPath(), dataDirOverride);
}

QString AppPaths::DataDir() const {
    if (!dataDirOverride.isEmpty())
        return dataDirOverride;
    const QString beside = executableDir + QStringLiteral("/Data");
    if (QFileInfo(beside).isDir())
        return beside;
    const QString installed = QStringLiteral(VEXA_INSTALL_DATADIR "/Data");
    if (QFileInfo(installed).isDir())
        return installed;
    return beside;
}

QString AppPaths::WorkFilePath(int id) const { return WorkDataDir() + QStringLiteral("/%1.led").arg(id); }

} // namespace vexa
