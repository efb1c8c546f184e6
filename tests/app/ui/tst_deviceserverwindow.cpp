// The main window on a sign line behind a serial device server: a real ser2net on 127.0.0.1
// with RFC 2217 in front of a simulated sign, named in the port box.

#include "app/CVexaApp.h"
#include "app/WorkFiles.h"
#include "app/ui/CVexaDlg.h"
#include "app/ui/CWzdStatusBar.h"
#include "app/ui/IContentEditorLauncher.h"
#include "link/SerialSettings.h"
#include "support/BoxAnswerer.h"
#include "support/DeviceServer.h"
#include "support/MainWindowRig.h"
#include "support/WidgetFinder.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace vexa;

class TestDeviceServerWindow : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        QStandardPaths::setTestModeEnabled(true);
        if (!QFileInfo(test::kSer2net).isExecutable())
            QSKIP("ser2net is not installed (scripts/install-deps.sh installs it)");
    }

    void sendClockAndScanThroughTheServer() {
        const QString model = QStringLiteral("P27");
        test::SimProcess sim(model, {QStringLiteral("--ids"), QStringLiteral("1,3")});
        QVERIFY2(!sim.device.isEmpty(), "vexa-sim did not start");
        QTemporaryDir dir;
        test::Ser2net server;
        QString error;
        QVERIFY2(server.Start(sim.device, test::Ser2net::Mode::Rfc2217, QStringLiteral("1200n81"), dir.path(),
                              error),
                 qPrintable(error));

        test::MainWindowRig rig;
        rig.OpenWindow({.model = model});
        if (QTest::currentTestFailed())
            return;
        CVexaApp& app = *rig.app;
        CVexaDlg& window = *rig.window;
        app.messageTable.WriteContent(
            0, QStringLiteral("{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0\\fs24 Hi\\par}"));
        app.messageTable.sendFlag[0] = 1;
        app.messageTable.SaveParams();
        window.LoadPreviews();

        auto* com = test::Get<QComboBox>(&window, CVexaDlg::ComList);
        com->setEditText(server.url);
        emit com->lineEdit()->editingFinished();
        QCOMPARE(window.StatusPanes()->PaneText(1), QStringLiteral("COM:") + server.url);

        test::BoxAnswerer answers;
        QTest::mouseClick(test::Get<QPushButton>(&window, CVexaDlg::SendButton), Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(window.StatusPanes()->PaneText(2), QStringLiteral("OK!"), 30000);
        QTRY_VERIFY_WITH_TIMEOUT(!sim.Events(QStringLiteral("message")).isEmpty(), 5000);
        // The server set its line to the model's rate.
        QCOMPARE(sim.Events(QStringLiteral("line")).value(0).value(QStringLiteral("baud")).toInt(),
                 SerialSettings::Parse(app.signLink.PortSettings())->baud);
        QVERIFY2(answers.texts.isEmpty(), qPrintable(answers.texts.join(QLatin1Char('|'))));
        QTRY_VERIFY_WITH_TIMEOUT(window.Idle(), 5000);

        QTest::mouseClick(test::Get<QPushButton>(&window, CVexaDlg::CheckTimeButton), Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(answers.texts, QStringList{QStringLiteral("Check Time Ok !")}, 10000);
        QVERIFY(!sim.Events(QStringLiteral("clock")).isEmpty());

        QTest::mouseClick(test::Get<QPushButton>(&window, CVexaDlg::ScanButton), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(window.Idle() && !app.signLink.IsBusy(), 90000);
        QCOMPARE(app.idList.entries[1].scanState, 1);
        QCOMPARE(app.idList.entries[3].scanState, 1);
        QVERIFY(app.idList.entries[2].scanState != 1);
    }
};

QTEST_MAIN(TestDeviceServerWindow)
#include "tst_deviceserverwindow.moc"
