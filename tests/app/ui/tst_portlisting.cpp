#include "app/CVexaApp.h"
#include "app/ui/CVexaDlg.h"
#include "app/ui/CWzdStatusBar.h"
#include "app/ui/IContentEditorLauncher.h"
#include "app/ui/PreviewsAfterFirstFrame.h"
#include "support/WidgetFinder.h"

#include <QComboBox>
#include <QSemaphore>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

using namespace vexa;

// The system's ports are listed on a worker thread while the window paints; the list is
// shown when it arrives and leaves the port chosen so far (stored or typed) chosen.
class TestPortListing : public QObject {
    Q_OBJECT

    static QList<SerialPortList::Port> TwoPorts() {
        return {{QStringLiteral("ttyUSB0"), QString(), QStringLiteral("/dev/ttyUSB0")},
                {QStringLiteral("ttyUSB1"), QString(), QStringLiteral("/dev/ttyUSB1")}};
    }

    // Opens the window with a system list that arrives once release is given.
    static std::unique_ptr<CVexaDlg> OpenWindow(CVexaApp& app, QSemaphore& release) {
        CVexaDlg::Services services;
        services.systemPorts = [&release] {
            release.tryAcquire(1, 10000);
            return TwoPorts();
        };
        services.watchPorts = false;
        auto window = std::make_unique<CVexaDlg>(app, std::move(services));
        window->show();
        return window;
    }

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void listArrivesAfterTheFirstPaint_data() {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QString>("pane");
        QTest::newRow("first start: the list's first port") << QString() << "ttyUSB0"
                                                            << "COM:ttyUSB0";
        QTest::newRow("stored listed port") << "ttyUSB1"
                                            << "ttyUSB1"
                                            << "COM:ttyUSB1";
        QTest::newRow("stored unlisted device") << "/dev/pts/7"
                                                << "/dev/pts/7"
                                                << "COM:pts/7";
    }

    void listArrivesAfterTheFirstPaint() {
        QFETCH(QString, stored);
        QFETCH(QString, chosen);
        QFETCH(QString, pane);
        QTemporaryDir dir;
        CVexaApp app(AppPaths(dir.path(), dir.path()));
        QVERIFY(QDir().mkpath(app.Paths().WorkDataDir()));
        if (!stored.isEmpty())
            QVERIFY(app.settingsFile.SetWindowState(stored, QRect()));
        app.StartUp();
        QSemaphore release;
        auto window = OpenWindow(app, release);
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        auto* com = test::Get<QComboBox>(window.get(), CVexaDlg::ComList);
        QCOMPARE(com->count(), 0); // painted before the list is there
        QCOMPARE(com->currentText(), stored);
        release.release();
        QTRY_COMPARE(com->count(), 2);
        QCOMPARE(com->currentText(), chosen);
        QCOMPARE(window->StatusPanes()->PaneText(1), pane);
    }

    // A window that is never painted (started minimised) still gets the list.
    void listArrivesWithoutAFirstPaint() {
        QTemporaryDir dir;
        CVexaApp app(AppPaths(dir.path(), dir.path()));
        QVERIFY(QDir().mkpath(app.Paths().WorkDataDir()));
        app.StartUp();
        CVexaDlg::Services services;
        services.systemPorts = [] { return TwoPorts(); };
        services.watchPorts = false;
        CVexaDlg window(app, std::move(services));
        auto* com = test::Get<QComboBox>(&window, CVexaDlg::ComList);
        QTRY_COMPARE_WITH_TIMEOUT(com->count(), 2, 3 * PreviewsAfterFirstFrame::FirstFrameWaitMs);
    }
};

QTEST_MAIN(TestPortListing)
#include "tst_portlisting.moc"
