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

bool ImageEditorLauncher::Launch(const AppPaths& paths, QObject* owner, std::function<void(Failure)> failed) {
    const QString program = ProgramPath(paths);
    const QFileInfo info(program);
    if (!info.isFile() || !info.isExecutable())
        return false;
    QDir().mkpath(paths.ImageDir());
    // The launcher is short-lived (it leaves the editor running on its own), so it is
    // watched for its exit status rather than detached.
    auto* process = new QProcess(owner);
    process->setProgram(program);
    process->setWorkingDirectory(paths.ExecutableDir());
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("VEXA_IMAGE_DIR"), paths.ImageDir());
    process->setProcessEnvironment(environment);
    process->setStandardOutputFile(QProcess::nullDevice());
    process->setStandardErrorFile(QProcess::nullDevice());
    QObject::connect(
        process, &QProcess::finished, process, [process, failed](int code, QProcess::ExitStatus status) {
            if ((status != QProcess::NormalExit || code != 0) && failed)
                failed(status == QProcess::NormalExit && code == NoImageEditorExit ? Failure::NoImageEditor
                                                                                   : Failure::CannotRun);
            process->deleteLater();
        });
    process->start();
    if (!process->waitForStarted(3000)) {
        delete process;
        return false;
    }
    return true;
}

} // namespace vexa
