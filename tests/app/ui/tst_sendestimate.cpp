// The window before and during a send: the predicted duration in the status bar, and the
// box of a port that did not open, which explains why in its detail text.

#include "app/TransferRunner.h"
#include "app/ui/CVexaDlg.h"
#include "app/ui/CWzdStatusBar.h"
#include "link/MemorySerialPort.h"
#include "support/MainWindowRig.h"
#include "support/WidgetFinder.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace vexa;

class TestSendEstimate : public QObject, public test::MainWindowRig {
    Q_OBJECT

    void Open(const QString& model) { OpenWindow({.model = model}); }
    QString Pane(int pane) const { return window->StatusPanes()->PaneText(pane); }

private slots:
    void cleanup() { CloseWindow(); }

    void durationBeforeAndDuringTheSend() {
        OPEN(QStringLiteral("P29"));
        TransferRunner runner(*app);
        TransferPlan plan;
        QCOMPARE(runner.PlanSend(plan, TransferRunner::SizeAnswer::Capped), TransferRunner::Start::Started);
        const QString about = TransferPlan::AboutText(plan.Sum().predictedMs);
        QVERIFY(about.startsWith(QStringLiteral("about ")));
        QTRY_COMPARE(Pane(3), about);

        MemorySerialPort line; // takes the first frame and never sends it
        line.SetStalled(true);
        app->signLink.SetPort(&line);
        app->signLink.SetTimings({300, 100});
        QTest::mouseClick(test::Get<QPushButton>(window.get(), CVexaDlg::SendButton), Qt::LeftButton);
        QCOMPARE(Pane(2), QStringLiteral("Sending: ") + about);
        QCOMPARE(Pane(3), QString());
        app->signLink.Stop();
        app->signLink.SetPort(nullptr);
    }

    void openFailureBoxExplainsInItsDetails() {
        OPEN(QStringLiteral("P29"));
        const QString device = dir->filePath(QStringLiteral("ttyNone"));
        auto* com = test::Get<QComboBox>(window.get(), CVexaDlg::ComList);
        com->setEditText(device);
        emit com->lineEdit()->editingFinished();
        QString text;
        QString details;
        QTimer watch;
        connect(&watch, &QTimer::timeout, [&] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                text = box->text();
                details = box->detailedText();
                box->buttons().constFirst()->click();
            }
        });
        watch.start(20);
        QTest::mouseClick(test::Get<QPushButton>(window.get(), CVexaDlg::SendButton), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(!text.isEmpty(), 10000);
        QCOMPARE(text, QStringLiteral("Open COM Port Failure!"));
        QVERIFY2(
            details.startsWith(QStringLiteral("Port: %1\nReason: No such file or directory\n\n").arg(device)),
            qPrintable(details));
        QVERIFY2(details.contains(device + QStringLiteral(": no such device.")), qPrintable(details));
    }
};

QTEST_MAIN(TestSendEstimate)
#include "tst_sendestimate.moc"
