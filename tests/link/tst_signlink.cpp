#include "FakeFrameSource.h"
#include "link/IdCommandModel.h"
#include "link/MemorySerialPort.h"
#include "link/SignLink.h"
#include "store/CIdList.h"
#include "store/CMessageTable.h"

#include <QElapsedTimer>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <cerrno>
#include <cstring>

using namespace vexa;

#include "DebugLogLines.h"

namespace {

struct Msg {
    int message;
    qintptr w;
    qintptr l;
    bool operator==(const Msg&) const = default;
};

QString Describe(const std::vector<Msg>& messages) {
    QStringList parts;
    for (const Msg& m : messages)
        parts << QStringLiteral("%1(%2,%3)").arg(m.message).arg(m.w).arg(m.l);
    return parts.join(u' ');
}

// A link engine over an in-memory port with hand-made frames, logging into a
// temporary folder and recording every message it reports.
struct Rig {
    QTemporaryDir dir;
    MemorySerialPort port;
    SignLink link;
    std::shared_ptr<FakeFrameSource> frames = std::make_shared<FakeFrameSource>();
    std::vector<Msg> messages;
    CIdList signList;
    CMessageTable table;
    Payload payload;

    explicit Rig(int limitMs = 400) {
        link.SetPort(&port);
        link.SetFrameSource(frames);
        link.SetLogFolder(dir.path());
        link.SetTimings({limitMs, 100});
        link.signList = &signList;
        link.rowParams = &table;
        link.messageData = &payload;
        port.SetInstantDrain(true);
        QObject::connect(&link, &SignLink::linkMessage, [this](int m, qintptr w, qintptr l) {
            messages.push_back({m, w, l});
        });
    }
    bool Saw(int message) const {
        return std::any_of(messages.begin(), messages.end(),
                           [&](const Msg& m) { return m.message == message; });
    }
    QStringList LogLines() const { return test::DebugLogLines(link.DebugLogPath()); }
};

} // namespace

class TestSignLink : public QObject {
    Q_OBJECT
private slots:
    void startsWithTheValuesTheWindowReadsBeforeAModel();
    void applyModelCopiesTheCatalogueRow_data();
    void applyModelCopiesTheCatalogueRow();
    void unknownModelKeepsFamilyAndSettingsFollowRows();
    void sendWritesTheSequenceAndReportsInOrder();
    void storedEffectGoesOnTheWireUnchanged();
    void unopenablePortEndsWithResultOneThen1128();
    void stalledLineGivesResultThreeAfterTheLimit();
    void stalledLineWaitsTheRealLimit();
    void consecutiveWritesEachGetTheirOwnLimit();
    void portStaysOpenAfterAFailure();
    void groupPowerWithAFailedWriteReportsSuccessCount();
    void groupOpenFailureReportsResultOne();
    void scanProbesAndCollectsReplies();
    void addressedSendReadsRepliesWhileSending();
    void clockIsOkOnlyWhenTheFrameLeftThePort();
    void commandOpenFailureGivesTheFunctionText();
    void idReadOnAPortThatDidNotOpenSaysSo();
    void logStartsWithHeaderAndFramesInHex();
    void secondStartWhileBusyIsRefused();
};

void TestSignLink::startsWithTheValuesTheWindowReadsBeforeAModel() {
    SignLink link;
    QCOMPARE(link.rows, 12);
    QCOMPARE(link.slotCount, 8);
    QCOMPARE(link.family, 1);
    QCOMPARE(link.hasClock, 1);
    QCOMPARE(link.is485Model, 0);
    QCOMPARE(link.pageWidth, 64);
    QCOMPARE(link.pagePitch, 64);
    QCOMPARE(link.currentId.load(), 1);
    QCOMPARE(link.ackFlag.load(), 1);
    QCOMPARE(link.setIdDone.load(), 1);
    QCOMPARE(link.readIdDone.load(), 1);
    QCOMPARE(link.progress.load(), 0);
    QCOMPARE(link.effectListSet, 0);
    QCOMPARE(link.address485, 0);
    QCOMPARE(link.groupCount, 0);
    QCOMPARE(link.ReplyCount(), 0);
    QCOMPARE(link.Port()->Settings(), QStringLiteral("1200,n,8,1"));
    QVERIFY(!link.Port()->IsOpen());
}

void TestSignLink::applyModelCopiesTheCatalogueRow_data() {
    QTest::addColumn<QString>("model");
    QTest::addColumn<int>("family");
    QTest::addColumn<int>("rows");
    QTest::addColumn<QString>("settings");
    QTest::newRow("P01 7 rows") << "P01" << 0 << 7 << "4800,n,8,1";
    QTest::newRow("P04 7 rows, faster") << "P04" << 3 << 7 << "9600,n,8,1";
    QTest::newRow("P13 12 rows") << "P13" << 1 << 12 << "4800,n,8,1";
    QTest::newRow("P27 addressed") << "P27" << 5 << 16 << "19200,n,8,1";
    QTest::newRow("P30 paged") << "P30" << 2 << 16 << "19200,n,8,1";
}

void TestSignLink::applyModelCopiesTheCatalogueRow() {
    QFETCH(QString, model);
    QFETCH(int, family);
    QFETCH(int, rows);
    QFETCH(QString, settings);
    Rig rig;
    QVERIFY(rig.link.ApplyModel(model));
    const DisplayModel* m = ModelCatalogue::Find(model);
    QCOMPARE(rig.link.family, family);
    QCOMPARE(rig.link.rows, rows);
    QCOMPARE(rig.link.slotCount, m->slotCount);
    QCOMPARE(rig.link.effectListSet, m->effectListSet);
    QCOMPARE(rig.link.is485Model, m->is485Model ? 1 : 0);
    QCOMPARE(rig.link.pageWidth, m->hasPageGeometry ? m->pageWidth : 0);
    QCOMPARE(rig.port.Settings(), settings);
    QCOMPARE(QString::fromLatin1(m->portSettings), settings);
}

void TestSignLink::unknownModelKeepsFamilyAndSettingsFollowRows() {
    Rig rig;
    QCOMPARE(rig.port.Settings(), QStringLiteral("1200,n,8,1"));
    QVERIFY(rig.link.ApplyModel(QStringLiteral("P30")));
    rig.port.SetSettings(QStringLiteral("1200,n,8,1"));
    QVERIFY(!rig.link.ApplyModel(QStringLiteral("P99")));
    QCOMPARE(rig.link.family, 2);
    QCOMPARE(rig.link.rows, 16);
    QCOMPARE(rig.port.Settings(), QStringLiteral("19200,n,8,1"));
}

void TestSignLink::sendWritesTheSequenceAndReportsInOrder() {
    Rig rig;
    rig.link.ApplyModel(QStringLiteral("P27"));
    rig.link.currentId = 9;
    QVERIFY(rig.link.StartSend());
    QTRY_VERIFY(rig.Saw(SignLink::SendEndedMessage));
    rig.link.WaitForWorker();

    QByteArray expected;
    for (const FrameStep& step : rig.frames->MessageSequence(SendInputs{.currentId = 9}))
        expected += step.bytes;
    QCOMPARE(rig.port.SentBytes(), expected);
    const std::vector<Msg> want = {{1124, 25, 0}, {1124, 50, 0}, {1124, 75, 0}, {1124, 100, 1}, {1128, 0, 0}};
    QCOMPARE(Describe(rig.messages), Describe(want));
    QVERIFY(!rig.port.IsOpen());
    QCOMPARE(rig.port.CloseCount(), 1);
}

// A file written under a model with eight effects keeps index 7 under a model with seven:
// the sign receives the stored index, never a substitute chosen by the window.
void TestSignLink::storedEffectGoesOnTheWireUnchanged() {
    Rig rig;
    rig.link.ApplyModel(QStringLiteral("P06"));
    rig.table.effect[0] = 7;
    rig.table.effect[1] = 3;
    QVERIFY(rig.link.StartSend());
    QTRY_VERIFY(rig.Saw(SignLink::SendEndedMessage));
    rig.link.WaitForWorker();
    QCOMPARE(SendInputsAccess::Slot(rig.frames->lastInputs, 0).effect, 7);
    QCOMPARE(SendInputsAccess::Slot(rig.frames->lastInputs, 1).effect, 3);
}

void TestSignLink::unopenablePortEndsWithResultOneThen1128() {
    Rig rig;
    rig.link.ApplyModel(QStringLiteral("P30")); // paged family logs the open failure
    rig.port.SetOpenError(ENOENT);
    QVERIFY(rig.link.StartSend());
    QTRY_VERIFY(rig.Saw(SignLink::SendEndedMessage));
    rig.link.WaitForWorker();
    QCOMPARE(Describe(rig.messages), Describe({{1124, 0, 65537}, {1128, 0, 0}}));
    QVERIFY(rig.port.Writes().empty());
    const QStringList log = rig.LogLines();
    QCOMPARE(log.size(), 5);
    QVERIFY(log[2].startsWith(QStringLiteral("SendData:")));
    // The number and the system's reason for it.
    QCOMPARE(log[3], QStringLiteral("Open failure, Error code:%1 %2")
                         .arg(ENOENT)
                         .arg(QString::fromLocal8Bit(std::strerror(ENOENT))));
    const QString why = QStringLiteral("Open COM Port Failure! ") + rig.port.PortName() +
                        QStringLiteral(": ") + rig.port.ErrorString();
    QCOMPARE(log[4], why);
    QCOMPARE(rig.link.LastOpenFailure(), why.mid(23));

    // Other families log only the device and the reason after the start line.
    Rig other;
    other.link.ApplyModel(QStringLiteral("P13"));
    other.port.SetOpenError(ENOENT);
    QVERIFY(other.link.StartSend());
    QTRY_VERIFY(other.Saw(SignLink::SendEndedMessage));
    other.link.WaitForWorker();
    QCOMPARE(other.LogLines().size(), 4);
    QVERIFY(other.LogLines()[3].startsWith(QStringLiteral("Open COM Port Failure! ")));
}

void TestSignLink::stalledLineGivesResultThreeAfterTheLimit() {
    Rig rig(300);
    rig.link.ApplyModel(QStringLiteral("P27"));
    rig.port.SetStalled(true);
    QVERIFY(rig.link.StartSend());
    QTRY_VERIFY_WITH_TIMEOUT(rig.Saw(SignLink::SendEndedMessage), 5000);
    rig.link.WaitForWorker();
    QCOMPARE(rig.port.Writes().size(), size_t(1)); // nothing after the stalled frame
    QCOMPARE(Describe(rig.messages), Describe({{1124, 25, 0}, {1124, 0, 3 * 65536 + 1}, {1128, 0, 0}}));
    QCOMPARE(rig.link.sendTimedOut.load(), 1);
    QCOMPARE(rig.LogLines().last(), QStringLiteral("Error:GetTxFinished()==0"));
}

void TestSignLink::stalledLineWaitsTheRealLimit() {
    Rig rig(8000);
    QCOMPARE(SignLink().Timings().sendLimitMs, 8000);
    rig.link.ApplyModel(QStringLiteral("P27"));
    rig.port.SetStalled(true);
    QElapsedTimer clock;
    clock.start();
    QVERIFY(rig.link.StartSend());
    QTRY_VERIFY_WITH_TIMEOUT(rig.Saw(SignLink::SendEndedMessage), 15000);
    QVERIFY2(clock.elapsed() >= 8000, qPrintable(QString::number(clock.elapsed())));
    QCOMPARE(rig.port.Writes().size(), size_t(1));
    QVERIFY(rig.Saw(SignLink::ProgressMessage));
    QCOMPARE(rig.messages[rig.messages.size() - 2].l, qintptr(3 * 65536 + 1));
}

void TestSignLink::consecutiveWritesEachGetTheirOwnLimit() {
    Rig rig(800);
    rig.port.SetInstantDrain(false);
    rig.port.SetSettings(QStringLiteral("1200,n,8,1")); // 120 bytes a second
    rig.port.Open();
    const QByteArray frame(60, '\x55'); // 500 ms on the wire each, 1000 ms both
    rig.link.rows = 16;
    QVERIFY(rig.link.WriteFrame(frame));
    QVERIFY(rig.link.WriteFrame(frame));
    QCOMPARE(rig.port.SentBytes(), frame + frame);
    QCOMPARE(rig.link.sendTimedOut.load(), 0);
}

void TestSignLink::portStaysOpenAfterAFailure() {
    Rig rig(200);
    rig.link.ApplyModel(QStringLiteral("P13"));
    rig.port.FailWrite(2);
    QVERIFY(rig.link.StartSend());
    QTRY_VERIFY(rig.Saw(SignLink::SendEndedMessage));
    rig.link.WaitForWorker();
    QVERIFY(rig.port.IsOpen());
    QCOMPARE(rig.port.Writes().size(), size_t(1));

    // The next operation finds the port open and does not open it again.
    rig.messages.clear();
    QVERIFY(rig.link.StartSend());
    QTRY_VERIFY(rig.Saw(SignLink::SendEndedMessage));
    rig.link.WaitForWorker();
    QCOMPARE(rig.port.OpenCount(), 1);
    QCOMPARE(rig.messages[rig.messages.size() - 2], (Msg{1124, 100, 1}));
}

void TestSignLink::groupPowerWithAFailedWriteReportsSuccessCount() {
    Rig rig;
    rig.link.ApplyModel(QStringLiteral("P27"));
    rig.link.currentId = 42;
    rig.link.groupIds[0] = 3;
    rig.link.groupIds[1] = 5;
    rig.link.groupIds[2] = 8;
    rig.link.groupCount = 3;
    rig.link.groupOperation = SignLink::GroupPowerOn;
    rig.port.FailWrite(2);
    QVERIFY(rig.link.StartGroup());
    QTRY_VERIFY(rig.Saw(SignLink::GroupFailedMessage));
    rig.link.WaitForWorker();
    QCOMPARE(Describe(rig.messages), Describe({{1124, 33, 0}, {1124, 99, 0}, {1124, 100, 1}, {1125, 2, 3}}));
    QCOMPARE(rig.port.SentBytes(), QByteArray::fromHex("7E03CF00D07E"
                                                       "7E08CF00D07E"));
    QCOMPARE(rig.link.currentId.load(), 42);
    QVERIFY(!rig.port.IsOpen());
}

void TestSignLink::groupOpenFailureReportsResultOne() {
    Rig rig;
    rig.port.SetOpenError(EACCES);
    rig.link.groupIds[0] = 1;
    rig.link.groupCount = 1;
    QVERIFY(rig.link.StartGroup());
    QTRY_VERIFY(!rig.messages.empty());
    rig.link.WaitForWorker();
    QCOMPARE(Describe(rig.messages), Describe({{1124, 0, 65537}}));
}

void TestSignLink::scanProbesAndCollectsReplies() {
    Rig rig;
    rig.link.ApplyModel(QStringLiteral("P27"));
    rig.signList.entries[7].groupMask = 4; // known sign in another group keeps its masks
    int answered = 0;
    QObject::connect(&rig.link, &SignLink::linkMessage, [&](int m, qintptr w, qintptr) {
        if (m == SignLink::ScanProgressMessage && (w == 1 || w == 2) && answered < 2) {
            // Replies of signs 3 and 7 arrive while the probes go out.
            rig.port.InjectReceived(QByteArray::fromHex(answered == 0 ? "CC42001A00401003" : ""));
            ++answered;
        }
    });
    QVERIFY(rig.link.StartScan());
    QTest::qWait(300);
    rig.port.InjectReceived(QByteArray::fromHex("CC42001A00401007"));
    QTRY_VERIFY_WITH_TIMEOUT(rig.Saw(SignLink::ScanFinishedMessage), 20000);
    rig.link.WaitForWorker();

    const std::vector<MemorySerialPort::WriteRecord> writes = rig.port.Writes();
    QCOMPARE(writes.size(), size_t(254));
    QCOMPARE(static_cast<unsigned char>(writes.front().bytes[1]), 1u);
    QCOMPARE(static_cast<unsigned char>(writes.back().bytes[1]), 254u);
    QCOMPARE(rig.signList.entries[3].scanState, 1u);
    QCOMPARE(rig.signList.entries[3].groupMask, 1u);
    QCOMPARE(rig.signList.entries[3].checkMask, 1u);
    QCOMPARE(rig.signList.entries[7].scanState, 1u);
    QCOMPARE(rig.signList.entries[7].groupMask, 4u);
    QCOMPARE(rig.signList.entries[7].checkMask, 0u);
    QCOMPARE(rig.link.currentId.load(), 7);
    const size_t n = rig.messages.size();
    QCOMPARE(rig.messages[n - 2], (Msg{1129, 100, 1}));
    QCOMPARE(rig.messages[n - 1], (Msg{1127, 0, 0}));
    QVERIFY(!rig.port.IsOpen());
    QCOMPARE(rig.link.readerRunning.load(), 0);
}

void TestSignLink::addressedSendReadsRepliesWhileSending() {
    Rig rig;
    rig.link.ApplyModel(QStringLiteral("P27"));
    rig.frames->frameCount = 4;
    rig.frames->pauseMs = 150;
    rig.link.readIdDone = 0;
    QVERIFY(rig.link.StartSend());
    QTRY_VERIFY(rig.link.readerRunning.load() == 1);
    rig.port.InjectReceived(QByteArray::fromHex("CC42001A00401005"));
    QTRY_VERIFY(rig.Saw(SignLink::SendEndedMessage));
    rig.link.WaitForWorker();
    QCOMPARE(rig.link.readIdDone.load(), 1);
    QCOMPARE(rig.link.readerRunning.load(), 0);
}

void TestSignLink::clockIsOkOnlyWhenTheFrameLeftThePort() {
    {
        Rig rig;
        rig.link.ApplyModel(QStringLiteral("P13"));
        QCOMPARE(rig.link.SetClock(), 1);
        QCOMPARE(rig.link.ackFlag.load(), 0); // sent, not yet acknowledged
        QVERIFY(rig.link.ClockFrameSent());
        QVERIFY(rig.port.IsOpen()); // stays open until ClosePort
        QCOMPARE(rig.link.ClosePort(), 0);
        QVERIFY(!rig.port.IsOpen());
    }
    {
        Rig rig(200); // an adapter that opens but never sends
        rig.link.ApplyModel(QStringLiteral("P13"));
        rig.port.SetStalled(true);
        QCOMPARE(rig.link.SetClock(), 1);
        QCOMPARE(rig.link.ackFlag.load(), 0);
        QVERIFY(!rig.link.ClockFrameSent());
    }
    {
        Rig rig;
        rig.port.SetOpenError(ENODEV);
        QCOMPARE(rig.link.SetClock(), 1);
        QCOMPARE(rig.link.ackFlag.load(), 0);
    }
}

// The ID tool names a port that did not open, and forgets it once a port opens.
void TestSignLink::idReadOnAPortThatDidNotOpenSaysSo() {
    Rig rig;
    rig.link.ApplyModel(QStringLiteral("P13"));
    IdCommandModel ids(rig.link);
    rig.port.SetOpenError(ENOENT);
    ids.StartRead();
    const IdCommandModel::ReadOutcome failed = ids.FinishRead();
    QVERIFY(!failed.ok);
    QVERIFY2(failed.reason.startsWith(QStringLiteral("The port could not be opened: ")),
             qPrintable(failed.reason));
    rig.port.SetOpenError(0);
    ids.StartRead();
    QCOMPARE(ids.FinishRead().reason, QStringLiteral("No sign answered."));
}

void TestSignLink::commandOpenFailureGivesTheFunctionText() {
    Rig rig;
    rig.port.SetOpenError(ENOENT);
    QSignalSpy failures(&rig.link, &SignLink::openFailure);
    QCOMPARE(rig.link.ReadId(), 1);
    QCOMPARE(rig.link.SetId(3, 4), 1);
    QCOMPARE(rig.link.SetClock(), 1);
    QCOMPARE(failures.size(), 3);
    QCOMPARE(failures[0][0].toString(),
             QStringLiteral("Open failure, error code=%1\nError function:SendReadID ").arg(ENOENT));
    QCOMPARE(failures[1][0].toString(),
             QStringLiteral("Open failure, error code=%1\nError function:SwithcID ").arg(ENOENT));
    QCOMPARE(failures[2][0].toString(),
             QStringLiteral("Open failure, error code=%1\nError function:SendCheckTime ").arg(ENOENT));
    QCOMPARE(rig.link.readIdDone.load(), 0);
    QCOMPARE(rig.link.setIdDone.load(), 0);
}

void TestSignLink::logStartsWithHeaderAndFramesInHex() {
    Rig rig;
    rig.link.ApplyModel(QStringLiteral("P27"));
    rig.port.Open();
    rig.port.InjectReceived(QByteArray("junk"));
    QCOMPARE(rig.link.SetId(3, 9), 1);
    QCOMPARE(rig.port.InputWaiting(), 0); // pending input is discarded before the command
    QCOMPARE(rig.port.SentBytes(), QByteArray::fromHex("4803099A6F"));
    const QStringList log = rig.LogLines();
    QCOMPARE(log.size(), 3);
    QCOMPARE(log[0], QStringLiteral("Create Log File"));
    QVERIFY2(QRegularExpression(QStringLiteral("^\\d{4}/\\d\\d/\\d\\d \\d\\d:\\d\\d:\\d\\d /n$"))
                 .match(log[1])
                 .hasMatch(),
             qPrintable(log[1]));
    QCOMPARE(log[2], QStringLiteral("48 03 09 9A 6F "));
}

void TestSignLink::secondStartWhileBusyIsRefused() {
    Rig rig;
    rig.link.ApplyModel(QStringLiteral("P27"));
    rig.frames->pauseMs = 100;
    QVERIFY(rig.link.StartSend());
    QVERIFY(!rig.link.StartScan());
    QVERIFY(!rig.link.StartGroup());
    QTRY_VERIFY(rig.Saw(SignLink::SendEndedMessage));
    rig.link.WaitForWorker();
    QVERIFY(rig.link.StartSend());
    rig.link.WaitForWorker();
}

QTEST_GUILESS_MAIN(TestSignLink)
#include "tst_signlink.moc"
