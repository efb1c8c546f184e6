#include "app/CVexaApp.h"
#include "app/TerminationWatcher.h"
#include "app/ui/CVexaDlg.h"
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
    parser.addOption(dataDir);
    parser.addOption(codePage);
    parser.addOption(screenshot);
    parser.process(application);

    CVexaApp app(AppPaths::ForApplication(parser.value(dataDir)));
    // The editor starts each run with a fresh Debug.Log in the current directory.
    app.signLink.OpenDebugLog();
    app.SetErrorReporter([](const QString& caption, const QString& text, const QString& detail) {
        QMessageBox box(caption == QStringLiteral("Warning") ? QMessageBox::Warning : QMessageBox::Critical, caption,
                        text, QMessageBox::Ok);
        box.setDetailedText(detail);
        box.exec();
    });
    app.ApplyCodePage(parser.value(codePage).toInt());
    app.StartUp();

    CVexaDlg window(app);
    TerminationWatcher watcher;
    QObject::connect(&watcher, &TerminationWatcher::terminationRequested, &window, &QWidget::close);
    window.show();
    if (parser.isSet(screenshot)) {
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
