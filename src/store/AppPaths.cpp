#include "store/AppPaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#ifndef VEXA_INSTALL_DATADIR
#define VEXA_INSTALL_DATADIR "/usr/local/share/vexa"
#endif
#ifndef VEXA_INSTALL_LIBEXECDIR
#define VEXA_INSTALL_LIBEXECDIR "libexec"
#endif

namespace vexa {

namespace {

// An installed program sits in <prefix>/bin with its Data tree in <prefix>/share/vexa;
// a portable one has Data (or nothing yet) beside it.
QString InstalledDataDir(const QString& executableDir) {
    return QDir::cleanPath(executableDir + QStringLiteral("/../share/vexa/Data"));
}

bool IsInstalledLayout(const QString& executableDir) {
    return !QFileInfo(executableDir + QStringLiteral("/Data")).isDir() &&
           QFileInfo(InstalledDataDir(executableDir)).isDir();
}

QString DefaultWritableRoot(const QString& executableDir) {
    const QFileInfo info(executableDir);
    if (!IsInstalledLayout(executableDir) && info.isDir() && info.isWritable())
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
    const QString relocated = InstalledDataDir(executableDir);
    if (QFileInfo(relocated).isDir())
        return relocated;
    const QString installed = QStringLiteral(VEXA_INSTALL_DATADIR "/Data");
    if (QFileInfo(installed).isDir())
        return installed;
    return beside;
}

bool AppPaths::InstalledLayout() const {
    return IsInstalledLayout(executableDir);
}

QString AppPaths::ToolsDir() const {
    if (InstalledLayout())
        return QDir::cleanPath(executableDir + QStringLiteral("/../" VEXA_INSTALL_LIBEXECDIR "/vexa"));
    return executableDir + QStringLiteral("/Tools");
}

QString AppPaths::WorkFilePath(int id) const {
    return WorkDataDir() + QStringLiteral("/%1.led").arg(id);
}

} // namespace vexa
