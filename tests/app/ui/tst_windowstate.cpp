#include "app/CVexaApp.h"
#include "app/EditorOptions.h"
#include "app/WorkFiles.h"
#include "app/ui/CVexaDlg.h"
#include "app/ui/CWzdStatusBar.h"
#include "app/ui/IContentEditorLauncher.h"
#include "support/WidgetFinder.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

using namespace vexa;

// What the editor remembers between runs, its keys, and its command line.
class TestWindowState : public QObject {
    Q_OBJECT

    QTemporaryDir dir;

    std::unique_ptr<CVexaApp> StartApp() {
        auto app = std::make_unique<CVexaApp>(AppPaths(dir.path(), dir.path()));
        app->StartUp();
        return app;
    }

    static std::unique_ptr<CVexaDlg> OpenWindow(CVexaApp& app) {
        CVexaDlg::Services services;
        services.listPorts = [] {
            return QList<SerialPortList::Port>{
                {QStringLiteral("ttyUSB0"), QString(), QStringLiteral("/dev/ttyUSB0")}};
        };
        services.watchPorts = false;
        auto window = std::make_unique<CVexaDlg>(app, std::move(services));
        window->show();
        return window;
    }

private slots:
    void initTestCase() {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(QDir().mkpath(dir.filePath(QStringLiteral("WorkData"))));
        CVexaApp app(AppPaths(dir.path(), dir.path()));
        QVERIFY(app.settingsFile.SetLedType(QStringLiteral("P30")));
        QVERIFY(app.settingsFile.SetLanguage(3));
        QVERIFY(WorkFiles::WriteTemplate(ModelCatalogue::TemplateFor(QStringLiteral("P30")),
                                         app.Paths().WorkFilePath(1)));
    }

    void typedPortAndWindowFrameComeBack() {
        {
            auto app = StartApp();
            auto window = OpenWindow(*app);
            QVERIFY(QTest::qWaitForWindowExposed(window.get()));
            QCOMPARE(window->StatusPanes()->PaneText(1), QStringLiteral("COM:ttyUSB0")); // the list's rule
            auto* com = test::Get<QComboBox>(window.get(), CVexaDlg::ComList);
            com->lineEdit()->setText(QStringLiteral("/dev/pts/7"));
            emit com->lineEdit()->editingFinished();
            window->resize(window->width() + 40, window->height() + 30);
            window->move(60, 50);
            QTest::qWait(50);
            window->close();
        }
        auto app = StartApp();
        auto window = OpenWindow(*app);
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        QCOMPARE(window->StatusPanes()->PaneText(1), QStringLiteral("COM:pts/7"));
        QCOMPARE(test::Get<QComboBox>(window.get(), CVexaDlg::ComList)->currentText(),
                 QStringLiteral("/dev/pts/7"));
        const QRect stored = app->settingsFile.WindowRect();
        QVERIFY(stored.isValid());
        QCOMPARE(window->geometry(), stored);
    }

    void menusShowTheirShortcuts() {
        auto app = StartApp();
        auto window = OpenWindow(*app);
        QCOMPARE(window->Command(CVexaDlg::FileSave)->shortcut(), QKeySequence(QKeySequence::Save));
        QCOMPARE(window->Command(CVexaDlg::FileExit)->shortcut(), QKeySequence(QKeySequence::Quit));
        QVERIFY(!window->Command(CVexaDlg::SendCommand)->shortcut().isEmpty());
        QVERIFY(!window->Command(CVexaDlg::SynchronizeTime)->shortcut().isEmpty());
        QCOMPARE(window->Control(20062)->accessibleName(), QStringLiteral("Row 3: empty"));
        QCOMPARE(window->Control(20082)->accessibleName(), QStringLiteral("Row 3 effect"));
    }

    void commandLineNeedsNoDisplayForHelpAndVersion() {
        const auto none = [](const char*) { return QString(); };
        const EditorOptions help =
            EditorOptions::Parse({QStringLiteral("vexa-editor"), QStringLiteral("--help")}, none);
        QCOMPARE(help.exitCode, 0);
        QVERIFY(help.output.contains(QStringLiteral("--data-dir")));
        const EditorOptions version =
            EditorOptions::Parse({QStringLiteral("vexa-editor"), QStringLiteral("--version")}, none);
        QCOMPARE(version.output, QStringLiteral("vexa-editor " VEXA_VERSION "\n"));
        const EditorOptions start = EditorOptions::Parse({QStringLiteral("vexa-editor")}, none);
        QCOMPARE(start.exitCode, 1);
        QVERIFY(start.output.contains(QStringLiteral("no display")));
        const auto x11 = [](const char* name) {
            return QString::fromLatin1(name) == QLatin1String("DISPLAY") ? QStringLiteral(":0") : QString();
        };
        QCOMPARE(EditorOptions::Parse({QStringLiteral("vexa-editor")}, x11).exitCode, -1);
        const auto offscreen = [](const char* name) {
            return QString::fromLatin1(name) == QLatin1String("QT_QPA_PLATFORM") ? QStringLiteral("offscreen")
                                                                                 : QString();
        };
        QCOMPARE(EditorOptions::Parse({QStringLiteral("vexa-editor")}, offscreen).exitCode, -1);
    }
};

QTEST_MAIN(TestWindowState)
#include "tst_windowstate.moc"
