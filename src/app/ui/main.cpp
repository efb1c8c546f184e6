#include "app/CVexaApp.h"
#include "app/EditorOptions.h"
#include "app/TerminationWatcher.h"
#include "app/ui/CVexaDlg.h"
#include "app/ui/EditorScreenshot.h"
#include "app/ui/ScreenshotScene.h"
#include "render/PngFile.h"
#include "ui/ToolTipStyle.h"
#include "ui/ToolTipWrapper.h"

#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QTimer>
#include <cstdio>

using namespace vexa;

int main(int argc, char* argv[]) {
    // --help, --version and a missing display are answered before Qt opens a display.
    const EditorOptions options = EditorOptions::Parse(argc, argv);
    if (options.exitCode >= 0) {
        std::fputs(qPrintable(options.output), options.exitCode == 0 ? stdout : stderr);
        return options.exitCode;
    }

    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("vexa-editor"));
    QApplication::setApplicationVersion(QStringLiteral(VEXA_VERSION));
    QGuiApplication::setDesktopFileName(QStringLiteral("org.vexa.editor"));
    QApplication::setStyle(new ToolTipStyle);
    application.installEventFilter(new ToolTipWrapper(&application));

    CVexaApp app(AppPaths::ForApplication(options.dataDir));
    // Started from the desktop menu the current folder means nothing: work in the data
    // folder so Debug.Log lands beside WorkData/.
    if (options.workInDataDir && QDir().mkpath(app.Paths().WritableRoot()))
        QDir::setCurrent(app.Paths().WritableRoot());
    // The editor starts each run with a fresh Debug.Log in the current directory.
    app.signLink.OpenDebugLog();
    // Reports come in English from the files' floors; the box shows them in the language
    // chosen, where they are texts of the program's own.
    app.SetErrorReporter([&app](const QString& caption, const QString& text, const QString& detail) {
        QMessageBox box(caption == QStringLiteral("Warning") ? QMessageBox::Warning : QMessageBox::Critical,
                        app.texts.Translate(caption), app.texts.Translate(text), QMessageBox::Ok);
        box.setDetailedText(detail);
        box.exec();
    });
    app.ApplyCodePage(options.codePage);
    app.StartUp();

    CVexaDlg window(app);
    TerminationWatcher watcher;
    QObject::connect(&watcher, &TerminationWatcher::terminationRequested, &window, &QWidget::close);
    window.show();
    ScreenshotScene::ChoosePort(window, options.port);
    if (!options.screenshot.isEmpty() && !options.scene.isEmpty()) {
        if (!ScreenshotScene::Known(options.scene)) {
            qWarning("vexa-editor: unknown scene %s", qPrintable(options.scene));
            return 2;
        }
        ScreenshotScene::Run(window, options.scene, options.screenshot, [&window](bool saved) {
            window.close();
            QApplication::exit(saved ? 0 : 1);
        });
    } else if (!options.screenshot.isEmpty() && !options.screenshotEditor.isEmpty()) {
        const QString target = options.screenshot;
        const bool date = options.screenshotEditor == QLatin1String("date");
        QTimer::singleShot(800, &window, [&window, target, date] {
            EditorScreenshot::Take(window, date ? 3 : 0,
                                   date ? EditorScreenshot::DateItem : EditorScreenshot::TextItem, target);
        });
    } else if (!options.screenshot.isEmpty()) {
        const QString target = options.screenshot;
        QTimer::singleShot(800, &window, [&window, target] {
            const bool saved = PngFile::Write(window.grab().toImage(), target);
            if (!saved)
                qWarning("vexa-editor: cannot write %s", qPrintable(target));
            window.close();
            QApplication::exit(saved ? 0 : 1);
        });
    }
    return QApplication::exec();
}
