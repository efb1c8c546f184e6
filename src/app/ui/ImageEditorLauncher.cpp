#include "app/ui/ImageEditorLauncher.h"

#include "store/AppPaths.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>

namespace vexa {

QString ImageEditorLauncher::ProgramPath(const AppPaths& paths) {
    return paths.ToolsDir() + QStringLiteral("/imagedit");
}

bool ImageEditorLauncher::Launch(const AppPaths& paths) {
    const QString program = ProgramPath(paths);
    const QFileInfo info(program);
    if (!info.isFile() || !info.isExecutable())
        return false;
    QDir().mkpath(paths.ImageDir());
    QProcess process;
    process.setProgram(program);
    process.setWorkingDirectory(paths.ExecutableDir());
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("VEXA_IMAGE_DIR"), paths.ImageDir());
    process.setProcessEnvironment(environment);
    return process.startDetached();
}

} // namespace vexa
