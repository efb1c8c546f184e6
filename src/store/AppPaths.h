#pragma once

#include <QString>

namespace vexa {

// Where the program's folders live. Read-only assets (Data/) sit beside the executable,
// else under the install prefix (found relative to the executable first, so an unpacked
// package works anywhere); the writable root (WorkData/, Image/) is the folder of a
// portable executable when it is writable, else $XDG_DATA_HOME/vexa, unless --data-dir
// names one.
class AppPaths {
public:
    // executableDir: folder of the running program; dataDirOverride: --data-dir or empty.
    AppPaths(const QString& executableDir, const QString& dataDirOverride = QString());

    // Paths for the running program (QCoreApplication must exist).
    static AppPaths ForApplication(const QString& dataDirOverride = QString());

    const QString& ExecutableDir() const { return executableDir; }
    const QString& WritableRoot() const { return writableRoot; }
    QString DataDir() const;
    QString WorkDataDir() const { return writableRoot + QStringLiteral("/WorkData"); }
    QString ImageDir() const { return writableRoot + QStringLiteral("/Image"); }
    // Pictures prepared for the signs by "Import picture…": WorkData/Pictures.
    QString PicturesDir() const { return WorkDataDir() + QStringLiteral("/Pictures"); }
    QString SystemSetPath() const { return WorkDataDir() + QStringLiteral("/System.set"); }
    QString IdListPath() const { return WorkDataDir() + QStringLiteral("/IDLIST.id"); }
    // Message file of the sign with this ID: WorkData/<id>.led.
    QString WorkFilePath(int id) const;
    // The image editor launcher's folder: Tools beside a portable program,
    // <prefix>/libexec/vexa beside an installed one.
    QString ToolsDir() const;
    // True for a program in <prefix>/bin with its Data in <prefix>/share/vexa and none beside it.
    bool InstalledLayout() const;

    // Overrides the asset folder (tests with fixture trees).
    void SetDataDir(const QString& dir) { dataDirOverride = dir; }

private:
    QString executableDir;
    QString writableRoot;
    QString dataDirOverride;
};

} // namespace vexa
