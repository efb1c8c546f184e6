#include "app/CVexaApp.h"
#include "app/ClockResult.h"
#include "app/TransferRunner.h"
#include "link/MemorySerialPort.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <cerrno>
#include <functional>

using namespace vexa;

namespace {

// An application context over an in-memory port whose send preparation gives every sent
// row a fixed amount of bytes, so sizes and chains can be checked without rendering.
struct Bench {
    QTemporaryDir dir;
    MemorySerialPort port; // outlives the engine that writes to it
    CVexaApp app{AppPaths(dir.path(), dir.path())};
    TransferRunner runner{app};
    int rowBytes = 20;
    QStringList preparedFiles;
    QStringList questions;
    bool answer = false;

    explicit Bench(const QString& model) {
        app.language = 3;
        app.signLink.SetPort(&port);
        app.signLink.SetLogFolder(dir.path());
        app.signLink.SetTimings({300, 100});
        app.signLink.ApplyModel(model);
        port.SetInstantDrain(true);
        QDir().mkpath(app.Paths().WorkDataDir());
        runner.SetModelName(model);
        runner.SetPreparer(
            [this](const DisplayModel&, CMessageTable&, Payload& payload, SendPreparation::Bitmaps) {
                preparedFiles << QFileInfo(app.messageTable.MessageFilePath()).fileName();
                payload.Clear();
                for (int row = 0; row < Payload::RowCount; ++row) {
                    payload.At(0, row).Assign(QByteArray(rowBytes / 2, '\x11'));
                    payload.At(1, row).Assign(QByteArray(rowBytes / 2, '\x22'));
                }
                return QStringList();
            });
        runner.SetSizeQuestion([this](const QString& text, int) {
            questions << text;
            return answer;
        });
    }
    // A work file for a sign whose first rows are marked to send.
    void MakeSign(int id, bool ticked, int rowsToSend = 1) {
        CMessageTable table;
        table.messageFile.filePath = app.Paths().WorkFilePath(id);
        for (int row = 0; row < rowsToSend; ++row)
            table.sendFlag[static_cast<size_t>(row)] = 1;
        QVERIFY(table.SaveParams());
        CIdList::Entry& e = app.idList.entries[static_cast<size_t>(id)];
        e.name = QStringLiteral("LED");
        e.groupMask = 1;
        e.checkMask = ticked ? 1 : 0;
    }
};

} // namespace

class TestTransferRunner : public QObject {
    Q_OBJECT
private slots:
    void dataOverTheLimitAsksAndNoSendsNothing();
    void modelsWithoutLimitDoNotAsk();
    void chainSendsTickedSignsInOrderAndReloadsTheSelection();
    void chainPassesOverADeclinedSign();
    void chainGoesOnAfterAnOpenFailure();
    void chainWithoutTickedSignsStartsNothing();
    void clockCheckNeedsTheSignsAnswer();
    void chainSkipsSignsWhoseFileCannotBeRead();
    void resultAndQuestionTexts();
};

void TestTransferRunner::dataOverTheLimitAsksAndNoSendsNothing() {
    Bench b(QStringLiteral("P13"));
    b.MakeSign(1, true, 3);
    b.app.messageTable.OpenMessageFile(b.app.Paths().WorkFilePath(1));
    b.rowBytes = 5000;
    QCOMPARE(b.runner.BeginTransfer(), TransferRunner::Start::Declined);
    QCOMPARE(b.questions,
             QStringList({QStringLiteral("Data over 167 words, will be discard!\r\nContinue Send?")}));
    QCOMPARE(b.port.OpenCount(), 0);
    QCOMPARE(b.app.payload.At(0, 2).length, 1000); // the capped lengths stay until the next preparation
    QVERIFY(!b.app.signLink.IsBusy());

    b.answer = true;
    QCOMPARE(b.runner.BeginTransfer(), TransferRunner::Start::Started);
    QTRY_VERIFY(!b.port.Writes().empty());
    b.app.signLink.Stop(); // the capped 12000 bytes would take a quarter of a minute
    QCOMPARE(b.questions.size(), 2);
}

void TestTransferRunner::modelsWithoutLimitDoNotAsk() {
    Bench b(QStringLiteral("P29"));
    b.MakeSign(1, true, 3);
    b.app.messageTable.OpenMessageFile(b.app.Paths().WorkFilePath(1));
    b.rowBytes = 5000;
    QCOMPARE(b.runner.BeginTransfer(), TransferRunner::Start::Started);
    QVERIFY(b.questions.isEmpty());
    QCOMPARE(b.app.payload.At(0, 2).length, 2500);
    b.app.signLink.Stop();
}

void TestTransferRunner::chainSendsTickedSignsInOrderAndReloadsTheSelection() {
    Bench b(QStringLiteral("P27"));
    b.MakeSign(9, true);
    b.MakeSign(3, true);
    b.MakeSign(5, false);
    b.app.SetSelectedSign(5);
    QSignalSpy starting(&b.runner, &TransferRunner::signStarting);
    QSignalSpy ended(&b.runner, &TransferRunner::transferEnded);
    QSignalSpy finished(&b.runner, &TransferRunner::sendsFinished);
    QCOMPARE(b.runner.StartChain(), TransferRunner::Start::Started);
    QTRY_COMPARE_WITH_TIMEOUT(finished.size(), 1, 10000);
    b.app.signLink.WaitForWorker();
    QCOMPARE(starting.size(), 2);
    QCOMPARE(starting[0], QVariantList({3, 0, 2}));
    QCOMPARE(starting[1], QVariantList({9, 1, 2}));
    QCOMPARE(ended.size(), 2);
    QCOMPARE(b.preparedFiles, QStringList({QStringLiteral("3.led"), QStringLiteral("9.led")}));
    QCOMPARE(b.app.signLink.currentId.load(), 5);
    QCOMPARE(QFileInfo(b.app.messageTable.MessageFilePath()).fileName(), QStringLiteral("5.led"));
    // Frames of both signs went out addressed to each of them in turn.
    const auto writes = b.port.Writes();
    QCOMPARE(static_cast<int>(static_cast<unsigned char>(writes.front().bytes[1])), 3);
    QCOMPARE(static_cast<int>(static_cast<unsigned char>(writes.back().bytes[1])), 9);
}

void TestTransferRunner::chainPassesOverADeclinedSign() {
    Bench b(QStringLiteral("P13"));
    b.MakeSign(3, true, 3);
    b.MakeSign(9, true, 1);
    b.rowBytes = 5000; // sign 3 sends three rows and is over the limit; sign 9 is not
    QSignalSpy ended(&b.runner, &TransferRunner::transferEnded);
    QSignalSpy finished(&b.runner, &TransferRunner::sendsFinished);
    QCOMPARE(b.runner.StartChain(), TransferRunner::Start::Started);
    QTRY_COMPARE_WITH_TIMEOUT(finished.size(), 1, 10000);
    b.app.signLink.WaitForWorker();
    QCOMPARE(b.questions.size(), 1);
    QCOMPARE(ended.size(), 1); // only sign 9 was sent
    QVERIFY(!b.runner.ChainRunning());
}

void TestTransferRunner::chainGoesOnAfterAnOpenFailure() {
    Bench b(QStringLiteral("P27"));
    b.MakeSign(3, true);
    b.MakeSign(4, true);
    b.port.SetOpenError(ENOENT);
    QSignalSpy ended(&b.runner, &TransferRunner::transferEnded);
    QSignalSpy finished(&b.runner, &TransferRunner::sendsFinished);
    QCOMPARE(b.runner.StartChain(), TransferRunner::Start::Started);
    QTRY_COMPARE_WITH_TIMEOUT(finished.size(), 1, 10000);
    b.app.signLink.WaitForWorker();
    QCOMPARE(ended.size(), 2);
    QCOMPARE(ended[0][0].toInt(), 1);
    QCOMPARE(ended[1][0].toInt(), 1);
}

void TestTransferRunner::chainWithoutTickedSignsStartsNothing() {
    Bench b(QStringLiteral("P27"));
    b.MakeSign(3, false);
    QCOMPARE(b.runner.StartChain(), TransferRunner::Start::NoIdSelected);
    QCOMPARE(TransferRunner::NoIdSelectedText(), QStringLiteral("No ID selected?"));
    QCOMPARE(b.port.OpenCount(), 0);
}

void TestTransferRunner::chainSkipsSignsWhoseFileCannotBeRead() {
    // Sign 2's file is too large to read, sign 3 has none, sign 4's is a folder: none of them
    // is sent or written, each is reported; sign 5 is sent as usual.
    Bench b(QStringLiteral("P27"));
    const QString huge = b.app.Paths().WorkFilePath(2);
    {
        QFile f(huge);
        QVERIFY(f.open(QIODevice::WriteOnly));
        QVERIFY(f.resize(16 * 1024 * 1024 + 1));
    }
    QDir().mkpath(b.app.Paths().WorkFilePath(4));
    for (int id : {2, 3, 4}) {
        b.app.idList.entries[static_cast<size_t>(id)].groupMask = 1;
        b.app.idList.entries[static_cast<size_t>(id)].checkMask = 1;
    }
    b.MakeSign(5, true);
    QSignalSpy failed(&b.runner, &TransferRunner::signFailed);
    QSignalSpy ended(&b.runner, &TransferRunner::transferEnded);
    QSignalSpy finished(&b.runner, &TransferRunner::sendsFinished);
    QCOMPARE(b.runner.StartChain(), TransferRunner::Start::Started);
    QTRY_COMPARE_WITH_TIMEOUT(finished.size(), 1, 10000);
    b.app.signLink.WaitForWorker();
    QCOMPARE(failed.size(), 3);
    QCOMPARE(failed[0][0].toInt(), 2);
    QVERIFY(failed[0][1].toString().contains(QStringLiteral("16 MiB")));
    QCOMPARE(failed[1][0].toInt(), 3);
    QCOMPARE(failed[2][0].toInt(), 4);
    QCOMPARE(b.preparedFiles, QStringList{QStringLiteral("5.led")});
    QCOMPARE(ended.size(), 1);
    QCOMPARE(QFileInfo(huge).size(), 16 * 1024 * 1024 + 1);
    QVERIFY(!QFileInfo::exists(b.app.Paths().WorkFilePath(3)));
    QVERIFY(QFileInfo(b.app.Paths().WorkFilePath(4)).isDir());
}

// Only the sign's acknowledgement sets the clock; a frame unanswered is a warning, one
// that never left the port an error.
void TestTransferRunner::clockCheckNeedsTheSignsAnswer() {
    const auto check = [](const std::function<void(Bench&)>& setUp, ClockResult::Outcome expected) {
        Bench b(QStringLiteral("P27"));
        setUp(b);
        QSignalSpy checked(&b.runner, &TransferRunner::clockChecked);
        b.runner.SynchronizeTime();
        if (expected != ClockResult::PortNotOpened)
            QVERIFY(b.port.IsOpen()); // closed by the check 800 ms later
        QTRY_COMPARE(checked.size(), 1);
        QCOMPARE(checked[0][0].toInt(), static_cast<int>(expected));
        QVERIFY(!b.port.IsOpen());
    };
    check(
        [](Bench& b) {
            b.port.SetReceiveNotification(true);
            QTimer::singleShot(100, [&b] { b.port.InjectReceived(QByteArray::fromHex("CC")); });
        },
        ClockResult::Acknowledged);
    check([](Bench&) {}, ClockResult::NotConfirmed);
    check([](Bench& b) { b.port.SetStalled(true); }, ClockResult::NotSent);
    check([](Bench& b) { b.port.SetOpenError(ENODEV); }, ClockResult::PortNotOpened);
    QCOMPARE(ClockResult::Text(ClockResult::Acknowledged), QStringLiteral("Check Time Ok !"));
    QCOMPARE(ClockResult::Text(ClockResult::NotSent), QStringLiteral("Check time error !"));
    QCOMPARE(ClockResult::ExitStatus(ClockResult::NotConfirmed), 4);
}

void TestTransferRunner::resultAndQuestionTexts() {
    QCOMPARE(TransferRunner::ResultText(1), QStringLiteral("Open COM Port Failure!"));
    QCOMPARE(TransferRunner::ResultText(2), QStringLiteral("Close COM Port Failure!"));
    QCOMPARE(TransferRunner::ResultText(3), QStringLiteral("Send Failure!"));
    QCOMPARE(TransferRunner::ResultText(4), QStringLiteral("Read Failure!"));
    QCOMPARE(TransferRunner::SizeQuestionText(LanguageTexts(1), 3000),
             QString::fromUtf8("数据超过167个字, 将会丢弃!\r\n继续发送吗?"));
    QCOMPARE(TransferRunner::SizeQuestionText(LanguageTexts(2), 17),
             QString::fromUtf8("數據超過1個字, 將會丟棄!\r\n繼續發送嗎?"));
}

QTEST_GUILESS_MAIN(TestTransferRunner)
#include "tst_transferrunner.moc"
