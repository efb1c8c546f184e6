#include "link/MemorySerialPort.h"
#include "link/SignLink.h"
#include "store/CIdList.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

using namespace vexa;

#include "DebugLogLines.h"

namespace {

QByteArray Hex(const char* hex) {
    return QByteArray::fromHex(hex);
}

struct Parser {
    QTemporaryDir dir;
    MemorySerialPort port;
    SignLink link;
    CIdList signList;

    Parser() {
        link.SetPort(&port);
        link.SetLogFolder(dir.path());
        link.signList = &signList;
        link.ackFlag = 0;
        link.readIdDone = 0;
        link.setIdDone = 0;
    }
    QStringList LogLines() const { return test::DebugLogLines(link.DebugLogPath()); }
};

} // namespace

class TestProcessReply : public QObject {
    Q_OBJECT
private slots:
    void recognisedRepliesSetTheirFlags_data();
    void recognisedRepliesSetTheirFlags();
    void replySplitOverTwoChunksIsJoined();
    void mismatchIsLoggedAndBlocksTheNextReply();
    void scanRepliesMarkTheSignList();
    void bufferRestartsWhenItWouldReachItsSize();
    void oversizedChunksKeepTheNewestBytes();
    void garbageNeverOverflows();
    void receiveEventFeedsTheParser();
};

void TestProcessReply::recognisedRepliesSetTheirFlags_data() {
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<int>("ack");
    QTest::addColumn<int>("readIdDone");
    QTest::addColumn<int>("setIdDone");
    QTest::addColumn<int>("currentId");
    QTest::newRow("CC acknowledges everything") << Hex("CC") << 1 << 1 << 1 << 1;
    QTest::newRow("ID reply") << Hex("84659C5A2A") << 0 << 1 << 1 << 42;
    QTest::newRow("scan reply") << Hex("CC42001A00401009") << 0 << 1 << 0 << 9;
    QTest::newRow("addressed clock ack") << Hex("7E01F100112233445566778899AA") << 1 << 0 << 0 << 1;
    QTest::newRow("generic ack, tail unchecked")
        << (Hex("55555555") + QByteArray(12, '\x13')) << 1 << 0 << 0 << 1;
}

void TestProcessReply::recognisedRepliesSetTheirFlags() {
    QFETCH(QByteArray, reply);
    QFETCH(int, ack);
    QFETCH(int, readIdDone);
    QFETCH(int, setIdDone);
    QFETCH(int, currentId);
    Parser p;
    QCOMPARE(p.link.ProcessReply(reply), 1);
    QCOMPARE(p.link.ackFlag.load(), ack);
    QCOMPARE(p.link.readIdDone.load(), readIdDone);
    QCOMPARE(p.link.setIdDone.load(), setIdDone);
    QCOMPARE(p.link.currentId.load(), currentId);
    QCOMPARE(p.link.ReplyCount(), 0);
}

void TestProcessReply::replySplitOverTwoChunksIsJoined() {
    Parser p;
    QCOMPARE(p.link.ProcessReply(Hex("84659C")), 0);
    QCOMPARE(p.link.ReplyCount(), 3);
    QCOMPARE(p.link.ProcessReply(Hex("5A07")), 1);
    QCOMPARE(p.link.currentId.load(), 7);
    QCOMPARE(p.link.ReplyCount(), 0);
    const QStringList log = p.LogLines();
    QCOMPARE(log.mid(2),
             QStringList({QStringLiteral("Read(3)-(3):84 65 9C "), QStringLiteral("Read(2)-(5):5A 07 ")}));
}

void TestProcessReply::mismatchIsLoggedAndBlocksTheNextReply() {
    Parser p;
    QCOMPARE(p.link.ProcessReply(Hex("84659C5B07")), 0);
    QCOMPARE(p.link.ProcessReply(Hex("CC")), 0); // the sixth byte, not a reply of its own
    QCOMPARE(p.link.ackFlag.load(), 0);
    QCOMPARE(p.link.ReplyBytes(), Hex("84659C5B07CC"));
    QCOMPARE(p.LogLines().mid(2), QStringList({QStringLiteral("Read(5)-(5):84 65 9C 5B 07 "),
                                               QStringLiteral("Error: m_nDataLen == 5, data not equal "),
                                               QStringLiteral("Read(1)-(6):CC ")}));

    Parser q;
    QCOMPARE(q.link.ProcessReply(QByteArray(16, '\x56')), 0);
    QCOMPARE(q.LogLines().last(), QStringLiteral("Error: m_nDataLen == 16, data not equal "));
    // Wrong leading bytes of 1, 8 and 14 bytes are silent.
    Parser r;
    QCOMPARE(r.link.ProcessReply(Hex("CD")), 0);
    QCOMPARE(r.LogLines().size(), 3);
}

void TestProcessReply::scanRepliesMarkTheSignList() {
    Parser p;
    p.signList.entries[7].groupMask = 2; // known in another group: masks stay
    p.signList.entries[7].checkMask = 2;
    QCOMPARE(p.link.ProcessReply(Hex("CC42001A00401003")), 1);
    QTest::qWait(20);
    QCOMPARE(p.link.ProcessReply(Hex("CC42001A00401007")), 1);
    QCOMPARE(p.signList.entries[3].scanState, 1u);
    QCOMPARE(p.signList.entries[3].groupMask, 1u);
    QCOMPARE(p.signList.entries[3].checkMask, 1u);
    QCOMPARE(p.signList.entries[7].scanState, 1u);
    QCOMPARE(p.signList.entries[7].groupMask, 2u);
    QCOMPARE(p.signList.entries[7].checkMask, 2u);
    QCOMPARE(p.link.currentId.load(), 7);
    // ID bytes 0 and 255 address their entries directly.
    QCOMPARE(p.link.ProcessReply(Hex("CC42001A004010FF")), 1);
    QCOMPARE(p.signList.entries[255].scanState, 1u);
}

void TestProcessReply::bufferRestartsWhenItWouldReachItsSize() {
    Parser p;
    QCOMPARE(p.link.ProcessReply(QByteArray(511, '\x01')), 0);
    QCOMPARE(p.link.ReplyCount(), 511);
    QCOMPARE(p.link.ProcessReply(Hex("84659C5A")), 0);
    QCOMPARE(p.link.ReplyCount(), 4);
    QCOMPARE(p.link.ProcessReply(Hex("0B")), 1); // the restarted buffer holds a whole reply
    QCOMPARE(p.link.currentId.load(), 11);
}

void TestProcessReply::oversizedChunksKeepTheNewestBytes() {
    Parser p;
    QByteArray big(1024, '\x77');
    big.replace(1024 - 5, 5, Hex("84659C5A21"));
    QCOMPARE(p.link.ProcessReply(big), 0);
    QCOMPARE(p.link.ReplyCount(), ReplyBuffer::Capacity);
    QCOMPARE(p.link.ReplyBytes().right(5), Hex("84659C5A21"));
    QVERIFY(p.LogLines().last().startsWith(QStringLiteral("Read(1024)-(512):77 77 ")));

    QCOMPARE(p.link.ProcessReply(QByteArray(700, '\x02')), 0);
    QCOMPARE(p.link.ReplyCount(), ReplyBuffer::Capacity);
    QCOMPARE(p.link.ReplyBytes(), QByteArray(512, '\x02'));
    QCOMPARE(p.link.ProcessReply(nullptr, 10), 0);
    QCOMPARE(p.link.ProcessReply(Hex("CC").constData(), -1), 0);
    QCOMPARE(p.link.ReplyCount(), ReplyBuffer::Capacity);
}

void TestProcessReply::garbageNeverOverflows() {
    Parser p;
    QRandomGenerator random(1234);
    for (int i = 0; i < 3000; ++i) {
        QByteArray chunk(random.bounded(1, 1025), Qt::Uninitialized);
        for (char& c : chunk)
            c = static_cast<char>(random.bounded(256));
        p.link.ProcessReply(chunk);
        QVERIFY(p.link.ReplyCount() >= 0 && p.link.ReplyCount() <= ReplyBuffer::Capacity);
    }
}

void TestProcessReply::receiveEventFeedsTheParser() {
    Parser p;
    p.port.Open();
    p.port.SetReceiveNotification(true);
    p.port.InjectReceived(Hex("84659C5A05"));
    QCOMPARE(p.link.readIdDone.load(), 1); // delivered at once in this thread
    QCOMPARE(p.link.currentId.load(), 5);
    // More than one take: at most 1024 bytes each, the rest stays for the next one.
    p.port.SetReceiveNotification(false);
    p.port.InjectReceived(QByteArray(1500, '\x01'));
    p.link.ReceivePending();
    QCOMPARE(p.port.InputWaiting(), 476);
}

QTEST_GUILESS_MAIN(TestProcessReply)
#include "tst_processreply.moc"
