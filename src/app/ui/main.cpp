#include "app/CVexaApp.h"
#include "app/TerminationWatcher.h"
#include "app/ui/CVexaDlg.h"
#include "app/ui/ScreenshotScene.h"
#include "render/PngFile.h"
#include "ui/ToolTipStyle.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QMessageBox>
#include <QTimer>

using namespace vexa;

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("vexa-editor"));
    QApplication::setStyle(new ToolTipStyle);

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Vexa Message Editor: compose, preview and send LED sign messages."));
    parser.addHelpOption();
    const QCommandLineOption dataDir(QStringLiteral("data-dir"),
                                     QStringLiteral("Folder that holds WorkData/ and Image/."),
                                     QStringLiteral("DIR"));
    const QCommandLineOption codePage(QStringLiteral("codepage"),
                                      QStringLiteral("Legacy code page of files without a byte-order mark."),
                                      QStringLiteral("N"));
    const QCommandLineOption screenshot(QStringLiteral("screenshot"),
                                        QStringLiteral("Save a picture of the main window to FILE once it is shown, then quit."),
                                        QStringLiteral("FILE"));
    const QCommandLineOption scene(QStringLiteral("scene"),
                                   QStringLiteral("With --screenshot: picture the window in a scene (id-editor, id-modify, "
                                                  "group-send, after-scan, after-group-send)."),
                                   QStringLiteral("NAME"));
    const QCommandLineOption port(QStringLiteral("port"), QStringLiteral("Serial device to choose at start."),
                                  QStringLiteral("DEV"));
    parser.addOption(dataDir);
    parser.addOption(codePage);
    parser.addOption(screenshot);
    parser.addOption(scene);
    parser.addOption(port);
    parser.process(application);

    CVexaApp app(AppPaths::ForApplication(parser.value(dataDir)));
    // The editor starts each run with a fresh Debug.Log in the current directory.
    app.signLink.OpenDebugLog();
    app.SetErrorReporter([](const QString& caption, const QString& text) {
        QMessageBox::critical(nullptr, caption, text);
    });
    app.ApplyCodePage(parser.value(codePage).toInt());
    app.StartUp();

    CVexaDlg window(app);
    TerminationWatcher watcher;
    QObject::connect(&watcher, &TerminationWatcher::terminationRequested, &window, &QWidget::close);
    window.show();
    ScreenshotScene::ChoosePort(window, parser.value(port));
    if (parser.isSet(screenshot) && parser.isSet(scene)) {
        if (!ScreenshotScene::Known(parser.value(scene))) {
            qWarning("vexa-editor: unknown scene %s", qPrintable(parser.value(scene)));
            return 2;
        }
        ScreenshotScene::Run(window, parser.value(scene), parser.value(screenshot), [&window](bool saved) {
            window.close();
            QApplication::exit(saved ? 0 : 1);
        });
    } else if (parser.isSet(screenshot)) {
        const QString target = parser.value(screenshot);
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
