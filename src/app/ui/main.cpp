#include "app/CVexaApp.h"
#include "app/EditorOptions.h"
#include "app/TerminationWatcher.h"
#include "app/ui/CVexaDlg.h"
#include "app/ui/EditorScreenshot.h"
#include "app/ui/EditorSession.h"
#include "app/ui/ScreenshotScene.h"
#include "render/PngFile.h"
#include "render/RenderLog.h"
#include "ui/ToolTipStyle.h"
#include "ui/ToolTipWrapper.h"

#include <QApplication>
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
    SilenceFontShapingMessages();
    QApplication::setApplicationVersion(QStringLiteral(VEXA_VERSION));
    QGuiApplication::setDesktopFileName(QStringLiteral("org.vexa.editor"));
    QApplication::setStyle(new ToolTipStyle);
    application.installEventFilter(new ToolTipWrapper(&application));

    EditorSession session(
        {options.codePage, options.workInDataDir, {}, options.readOnly, !options.screenshot.isEmpty()});
    TerminationWatcher watcher;
    QObject::connect(&watcher, &TerminationWatcher::terminationRequested, &session, [&session] {
        if (CVexaDlg* window = session.Window())
            window->close();
    });
    if (!session.Open(options.dataDir))
        return 0;
    CVexaDlg& window = *session.Window();
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
        const QString editor = options.screenshotEditor;
        QTimer::singleShot(800, &window, [&window, target, editor] {
            if (editor == QLatin1String("date"))
                EditorScreenshot::Take(window, 3, EditorScreenshot::DateItem, target);
            else if (editor == QLatin1String("image"))
                EditorScreenshot::Take(window, 1, EditorScreenshot::ImageItem, target);
            else
                EditorScreenshot::Take(window, 0, EditorScreenshot::TextItem, target);
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
