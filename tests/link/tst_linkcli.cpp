#include "core/ModelCatalogue.h"
#include "core/Payload.h"
#include "render/GlyphLibrary.h"
#include "render/SendPreparation.h"
#include "store/AppPaths.h"
#include "store/CIdList.h"
#include "store/CMessageTable.h"
#include "store/EncodedTextReader.h"
#include "support/SendFixtures.h"
#include "support/SimProcess.h"
#include "support/VexaRun.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>
#include <netinet/in.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

using namespace vexa;
using namespace vexa::test;

namespace {

QByteArray DataOf(const QJsonObject& e) {
    return QByteArray::fromHex(e.value(QStringLiteral("data")).toString().toLatin1());
}

QByteArray ReadBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A raw device server on 127.0.0.1 that takes the first bytes sent to it and hangs up.
struct HangUpServer {
    int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    int port = 0;
    std::thread thread;
    HangUpServer() {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || ::listen(fd, 1) != 0 ||
            ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0)
            return;
        port = ntohs(address.sin_port);
        thread = std::thread([this] {
            const int peer = ::accept(fd, nullptr, nullptr);
            char taken[64];
            [[maybe_unused]] const ssize_t got = ::recv(peer, taken, sizeof taken, 0);
            ::close(peer);
        });
    }
    ~HangUpServer() {
        if (thread.joinable())
            thread.join();
        ::close(fd);
    }
};

} // namespace

class TestLinkCli : public QObject {
    Q_OBJECT
private slots:
    void init();
    void sendReachesTheSign_data();
    void sendReachesTheSign();
    void unopenablePortGivesResultOne();
    void sendOnlyReadsMessageFiles();
    void hangUpAfterTheClockIsNoOpenFailure();
    void hangupDuringSendGivesSendFailure();
    void dataOverTheLimitIsRefusedWithoutYes();
    void scanFindsTheSimulatorsIds();
    void idCommandsAndClockGetTheirReplies_data();
    void idCommandsAndClockGetTheirReplies();
    void silentSignFailsTheIdRead();
    void chainSendsEveryTickedSignFromItsOwnFile();
    void powerReachesEveryListedSign();
    void rowsThatWillNotLookAsPreviewedAreWarned();

private:
    QString MakeFile(const QString& model, const QString& content,
                     const QString& name = QStringLiteral("m.led"));
    std::unique_ptr<QTemporaryDir> dir;
    QString work;
    QString data;
};

void TestLinkCli::init() {
    dir = std::make_unique<QTemporaryDir>();
    work = dir->path();
    data = dir->filePath(QStringLiteral("data"));
    QDir().mkpath(data);
}

QString TestLinkCli::MakeFile(const QString& model, const QString& content, const QString& name) {
    return VexaRun::NewMessageFile(work, data, QDir(work).filePath(name), model, content);
}

void TestLinkCli::sendReachesTheSign_data() {
    QTest::addColumn<QString>("model");
    QTest::addColumn<QString>("content");
    QTest::newRow("family 0 P01") << "P01" << kRichText;
    QTest::newRow("family 1 P13") << "P13" << kRichText;
    QTest::newRow("family 2 P30") << "P30" << kRichText;
    QTest::newRow("family 3 P04") << "P04"
                                  << "[ASCII]AB";
    QTest::newRow("family 4 P06") << "P06" << kRichText;
    QTest::newRow("family 5 P27") << "P27" << kRichText;
}

void TestLinkCli::sendReachesTheSign() {
    QFETCH(QString, model);
    QFETCH(QString, content);
    const QString file = MakeFile(model, content);
    QVERIFY(!file.isEmpty());
    const Payload payload = Prepared(model, file, data);
    const int family = ModelCatalogue::Find(model)->FamilyCode();
    const int sets = family == 0 || family == 1 || family == 4 ? 2 : 1;
    QVERIFY(payload.At(0, 1).length > 0);

    SimProcess sim(model, {QStringLiteral("--ids"), QStringLiteral("1")}, SimProcess::Trace::Off);
    QVERIFY2(!sim.device.isEmpty(), "vexa-sim did not start");
    const VexaRun sent = VexaRun::Of(work, data,
                                     {QStringLiteral("send"), file, QStringLiteral("--model"), model,
                                      QStringLiteral("--port"), sim.device});
    QCOMPARE(sent.exit, 0);
    QCOMPARE(sent.out.trimmed(), QStringLiteral("OK!"));

    // Every set of the sent row arrives as its own message, with exactly its bytes.
    for (int set = 0; set < sets; ++set) {
        const PayloadEntry& entry = payload.At(set, 1);
        if (entry.length == 0)
            continue;
        QJsonObject received;
        QTRY_VERIFY_WITH_TIMEOUT(
            [&] {
                for (const QJsonObject& e : sim.Events(QStringLiteral("message"))) {
                    if (e.value(QStringLiteral("slot")).toInt() == 1 &&
                        e.value(QStringLiteral("set")).toInt(0) == set) {
                        received = e;
                        return true;
                    }
                }
                return false;
            }(),
            5000);
        const QByteArray bytes = DataOf(received);
        const QByteArray sentBytes = entry.bytes.left(entry.length);
        QCOMPARE(bytes.left(sentBytes.size()).toHex(), sentBytes.toHex());
        // Page families fill the last page: PagedBlocks with FF, AddressedBlocks with 00.
        const QByteArray rest = bytes.mid(sentBytes.size());
        if (family == 2)
            QCOMPARE(rest, QByteArray(rest.size(), '\xFF'));
        else if (family == 5)
            QCOMPARE(rest, QByteArray(rest.size(), '\0'));
        else
            QVERIFY(rest.isEmpty());
        if (received.contains(QStringLiteral("speed")))
            QCOMPARE(received.value(QStringLiteral("speed")).toInt(), 2);
        if (received.contains(QStringLiteral("effect")) && family != 5)
            QCOMPARE(received.value(QStringLiteral("effect")).toInt(), 3);
    }
    // The log holds the start line and the frames.
    QFile log(QDir(work).filePath(QStringLiteral("Debug.Log")));
    QVERIFY(log.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(log.readAll()).split(u'\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.value(0), QStringLiteral("Create Log File"));
    QVERIFY(lines.value(2).startsWith(QStringLiteral("SendData:")));
    QVERIFY(lines.size() > 3);
}

void TestLinkCli::unopenablePortGivesResultOne() {
    const QString file = MakeFile(QStringLiteral("P13"), kRichText);
    const VexaRun sent =
        VexaRun::Of(work, data,
                    {QStringLiteral("send"), file, QStringLiteral("--model"), QStringLiteral("P13"),
                     QStringLiteral("--port"), QDir(work).filePath(QStringLiteral("no-such-tty"))});
    QCOMPARE(sent.exit, 1);
    QVERIFY2(sent.err.contains(QStringLiteral("Open COM Port Failure!")), qPrintable(sent.err));
    QFile log(QDir(work).filePath(QStringLiteral("Debug.Log")));
    QVERIFY(log.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(log.readAll()).split(u'\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 4);
    QVERIFY(lines[3].startsWith(QStringLiteral("Open COM Port Failure! ") +
                                QDir(work).filePath(QStringLiteral("no-such-tty: "))));
    QVERIFY2(sent.err.contains(QStringLiteral("no-such-tty: ")),
             qPrintable(sent.err)); // the device and the reason

    // A file that is no terminal cannot be opened as a port either.
    const VexaRun clock = VexaRun::Of(work, data,
                                      {QStringLiteral("clock"), QStringLiteral("--model"),
                                       QStringLiteral("P13"), QStringLiteral("--port"), file});
    QCOMPARE(clock.exit, 1);
    QVERIFY(clock.err.contains(QStringLiteral("Error function:SendCheckTime")));
    QVERIFY(clock.err.contains(QStringLiteral("Check time error !")));
}

// A file that is not a message file is refused before the line is touched (sending it
// would clear the sign); a message file is sent and left byte for byte as it was, also
// when it may not be written.
void TestLinkCli::sendOnlyReadsMessageFiles() {
    SimProcess sim(QStringLiteral("P30"), {QStringLiteral("--ids"), QStringLiteral("1")});
    QVERIFY2(!sim.device.isEmpty(), "vexa-sim did not start");
    const QStringList line = {QStringLiteral("--model"), QStringLiteral("P30"), QStringLiteral("--port"),
                              sim.device};
    const QString notes = QDir(work).filePath(QStringLiteral("notes.txt"));
    QFile text(notes);
    QVERIFY(text.open(QIODevice::WriteOnly) && text.write("hello\n") == 6);
    text.close();
    for (const QStringList& verb :
         {QStringList{QStringLiteral("send")},
          QStringList{QStringLiteral("group-send"), QStringLiteral("--ids"), QStringLiteral("1")}}) {
        const VexaRun refused = VexaRun::Of(work, data, verb + QStringList{notes} + line);
        QCOMPARE(refused.exit, 7);
        QVERIFY2(refused.err.contains(QStringLiteral("not a message file")), qPrintable(refused.err));
        QCOMPARE(ReadBytes(notes), QByteArray("hello\n"));
    }
    sim.WaitQuiet(300, 2000);
    QVERIFY(sim.Received().isEmpty());

    // UTF-8 with a comment line and a value out of range: all stays as the file has it.
    QByteArray utf8("\xEF\xBB\xBF; kept by the operator\r\n[INFO]\r\n");
    for (int row = 0; row < 10; ++row)
        utf8 += QStringLiteral("PARA_%1=1%2000001000\r\nDATA_%1=%3\r\n")
                    .arg(row, 2, 10, QLatin1Char('0'))
                    .arg(row == 0 ? 9 : 0)
                    .arg(row == 0 ? QStringLiteral("[ASCII]HI") : QString())
                    .toUtf8();
    const QString file = QDir(work).filePath(QStringLiteral("kept.led"));
    QFile message(file);
    QVERIFY(message.open(QIODevice::WriteOnly) && message.write(utf8) == utf8.size());
    message.close();
    const VexaRun sent = VexaRun::Of(work, data, QStringList{QStringLiteral("send"), file} + line);
    QCOMPARE(sent.exit, 0);
    QCOMPARE(ReadBytes(file), utf8);
    QVERIFY(QFile::setPermissions(file, QFile::ReadOwner));
    const VexaRun readOnly = VexaRun::Of(work, data, QStringList{QStringLiteral("send"), file} + line);
    QCOMPARE(readOnly.exit, 0);
    QVERIFY2(!readOnly.err.contains(QStringLiteral("Open failed")), qPrintable(readOnly.err));
}

// A server that takes the clock frame and hangs up had an open line: the exit says the
// frame or its acknowledgement failed, not that no port opened.
void TestLinkCli::hangUpAfterTheClockIsNoOpenFailure() {
    HangUpServer server;
    QVERIFY(server.port > 0);
    const VexaRun clock =
        VexaRun::Of(work, data,
                    {QStringLiteral("clock"), QStringLiteral("--model"), QStringLiteral("P30"),
                     QStringLiteral("--port"), QStringLiteral("tcp://127.0.0.1:%1").arg(server.port)});
    QVERIFY2(clock.exit == 3 || clock.exit == 4, qPrintable(QString::number(clock.exit) + clock.err));
}

void TestLinkCli::hangupDuringSendGivesSendFailure() {
    const QString file = MakeFile(QStringLiteral("P27"), kRichText);
    SimProcess sim(QStringLiteral("P27"), {QStringLiteral("--hangup-after"), QStringLiteral("300")},
                   SimProcess::Trace::Off);
    QVERIFY2(!sim.device.isEmpty(), "vexa-sim did not start");
    const VexaRun sent = VexaRun::Of(work, data,
                                     {QStringLiteral("send"), file, QStringLiteral("--model"),
                                      QStringLiteral("P27"), QStringLiteral("--port"), sim.device});
    QCOMPARE(sent.exit, 3);
    QVERIFY2(sent.err.contains(QStringLiteral("Send Failure!")), qPrintable(sent.err));
}

void TestLinkCli::dataOverTheLimitIsRefusedWithoutYes() {
    const QString path = QDir(work).filePath(QStringLiteral("big.led"));
    QCOMPARE(VexaRun::Of(work, data,
                         {QStringLiteral("new"), QStringLiteral("--model"), QStringLiteral("P13"), path})
                 .exit,
             0);
    const QString wide =
        QStringLiteral("{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}{\\colortbl;\\red255\\green0\\blue0;}"
                       "\\f0\\cf1\\fs24 %1\\par}")
            .arg(QString(300, u'W'));
    for (const char* row : {"0", "1", "2"})
        QCOMPARE(VexaRun::Of(work, data,
                             {QStringLiteral("set"), path, QStringLiteral("--row"), QString::fromLatin1(row),
                              QStringLiteral("--content"), wide, QStringLiteral("--kind"),
                              QStringLiteral("text"), QStringLiteral("--send"), QStringLiteral("1")})
                     .exit,
                 0);
    // The question comes before the port is opened: nothing is sent, no port error.
    const VexaRun sent =
        VexaRun::Of(work, data,
                    {QStringLiteral("send"), path, QStringLiteral("--model"), QStringLiteral("P13"),
                     QStringLiteral("--port"), QDir(work).filePath(QStringLiteral("no-such-tty"))});
    QCOMPARE(sent.exit, 5);
    QVERIFY2(sent.err.contains(QStringLiteral("Data over ")) &&
                 sent.err.contains(QStringLiteral("will be discard!")),
             qPrintable(sent.err));
    QVERIFY(!sent.err.contains(QStringLiteral("Open COM Port Failure!")));
}

void TestLinkCli::scanFindsTheSimulatorsIds() {
    SimProcess sim(QStringLiteral("P27"), {QStringLiteral("--ids"), QStringLiteral("3,7,200")},
                   SimProcess::Trace::Off);
    QVERIFY2(!sim.device.isEmpty(), "vexa-sim did not start");
    const VexaRun scan = VexaRun::Of(work, data,
                                     {QStringLiteral("scan"), QStringLiteral("--model"),
                                      QStringLiteral("P27"), QStringLiteral("--port"), sim.device,
                                      QStringLiteral("--json"), QStringLiteral("--save")});
    QCOMPARE(scan.exit, 0);
    QCOMPARE(QJsonDocument::fromJson(scan.out.toUtf8()).array(), QJsonArray({3, 7, 200}));
    CIdList list(AppPaths(data, data).IdListPath());
    QVERIFY(list.LoadIdList());
    for (const int id : {3, 7, 200}) {
        QCOMPARE(list.entries[static_cast<size_t>(id)].groupMask, 1u);
        QCOMPARE(list.entries[static_cast<size_t>(id)].checkMask, 1u);
    }
    QCOMPARE(list.entries[4].groupMask, 0u);

    // A sign list that is there but cannot be read (over the read limit) is not replaced
    // by what the scan found, and the scan says so in its exit status.
    QFile big(AppPaths(data, data).IdListPath());
    QVERIFY(big.resize(EncodedTextReader::MaxFileBytes + 1));
    const VexaRun unread =
        VexaRun::Of(work, data,
                    {QStringLiteral("scan"), QStringLiteral("--model"), QStringLiteral("P27"),
                     QStringLiteral("--port"), sim.device, QStringLiteral("--save")});
    QCOMPARE(unread.exit, 1);
    QCOMPARE(big.size(), EncodedTextReader::MaxFileBytes + 1);
}

void TestLinkCli::idCommandsAndClockGetTheirReplies_data() {
    QTest::addColumn<QString>("model");
    QTest::newRow("5-byte ID replies, P13") << "P13";
    QTest::newRow("addressed replies, P27") << "P27";
    QTest::newRow("trailer clock, P04") << "P04";
}

void TestLinkCli::idCommandsAndClockGetTheirReplies() {
    QFETCH(QString, model);
    SimProcess sim(model, {QStringLiteral("--ids"), QStringLiteral("5")}, SimProcess::Trace::Off);
    QVERIFY2(!sim.device.isEmpty(), "vexa-sim did not start");
    const QStringList port = {QStringLiteral("--model"), model, QStringLiteral("--port"), sim.device};
    const VexaRun read = VexaRun::Of(work, data, QStringList{QStringLiteral("read-id")} + port);
    QCOMPARE(read.exit, 0);
    QCOMPARE(read.out.split(u'\n', Qt::SkipEmptyParts),
             QStringList({QStringLiteral("Success!"), QStringLiteral("5")}));

    const VexaRun set = VexaRun::Of(
        work, data, QStringList{QStringLiteral("set-id"), QStringLiteral("5"), QStringLiteral("9")} + port);
    QCOMPARE(set.exit, 0);
    QCOMPARE(set.out.trimmed(), QStringLiteral("Success!"));
    const VexaRun again = VexaRun::Of(work, data, QStringList{QStringLiteral("read-id")} + port);
    QCOMPARE(again.out.split(u'\n', Qt::SkipEmptyParts).value(1), QStringLiteral("9"));

    const VexaRun clock = VexaRun::Of(work, data, QStringList{QStringLiteral("clock")} + port);
    QCOMPARE(clock.exit, 0);
    QCOMPARE(clock.out.trimmed(), QStringLiteral("Check Time Ok !"));
    QTRY_VERIFY_WITH_TIMEOUT(!sim.Events(QStringLiteral("clock")).isEmpty(), 3000);
}

void TestLinkCli::silentSignFailsTheIdRead() {
    SimProcess sim(QStringLiteral("P13"), {QStringLiteral("--silent")}, SimProcess::Trace::Off);
    QVERIFY2(!sim.device.isEmpty(), "vexa-sim did not start");
    const VexaRun read = VexaRun::Of(work, data,
                                     {QStringLiteral("read-id"), QStringLiteral("--model"),
                                      QStringLiteral("P13"), QStringLiteral("--port"), sim.device});
    QCOMPARE(read.exit, 4);
    QVERIFY(read.err.contains(QStringLiteral("Read failed!")));
    // The clock frame leaves the port, but no sign confirms it: not a success.
    const VexaRun clock = VexaRun::Of(work, data,
                                      {QStringLiteral("clock"), QStringLiteral("--model"),
                                       QStringLiteral("P13"), QStringLiteral("--port"), sim.device});
    QCOMPARE(clock.exit, 4);
    QVERIFY(clock.out.isEmpty());
    QVERIFY(clock.err.contains(QStringLiteral("did not confirm")));
}

void TestLinkCli::chainSendsEveryTickedSignFromItsOwnFile() {
    const AppPaths paths(data, data);
    QDir().mkpath(paths.WorkDataDir());
    const QString three = MakeFile(QStringLiteral("P27"), kRichText, QStringLiteral("3.led"));
    const QString nine =
        MakeFile(QStringLiteral("P27"),
                 QStringLiteral("{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}"
                                "{\\colortbl;\\red255\\green0\\blue0;}\\f0\\cf1\\fs24 XYZW\\par}"),
                 QStringLiteral("9.led"));
    QVERIFY(QFile::copy(three, paths.WorkFilePath(3)));
    QVERIFY(QFile::copy(nine, paths.WorkFilePath(9)));
    CIdList list(paths.IdListPath());
    for (const int id : {3, 5, 9}) {
        list.entries[static_cast<size_t>(id)].name = QStringLiteral("LED");
        list.entries[static_cast<size_t>(id)].groupMask = 1;
        list.entries[static_cast<size_t>(id)].checkMask = id == 5 ? 0 : 1;
    }
    QVERIFY(list.SaveIdList());

    SimProcess sim(QStringLiteral("P27"), {QStringLiteral("--ids"), QStringLiteral("3,9")},
                   SimProcess::Trace::Off);
    QVERIFY2(!sim.device.isEmpty(), "vexa-sim did not start");
    const VexaRun sent =
        VexaRun::Of(work, data,
                    {QStringLiteral("send"), QStringLiteral("--485"), QStringLiteral("--model"),
                     QStringLiteral("P27"), QStringLiteral("--port"), sim.device});
    QCOMPARE(sent.exit, 0);
    QCOMPARE(sent.out.split(u'\n', Qt::SkipEmptyParts), QStringList({"ID 3: OK!", "ID 9: OK!"}));
    const Payload payload3 = Prepared(QStringLiteral("P27"), paths.WorkFilePath(3), data);
    const Payload payload9 = Prepared(QStringLiteral("P27"), paths.WorkFilePath(9), data);
    QVERIFY(payload3.At(0, 1).bytes != payload9.At(0, 1).bytes);
    QTRY_VERIFY_WITH_TIMEOUT(sim.Events(QStringLiteral("message")).size() >= 20, 5000);
    QList<int> order;
    for (const QJsonObject& e : sim.Events(QStringLiteral("message"))) {
        if (e.value(QStringLiteral("slot")).toInt() != 1)
            continue;
        const int id = e.value(QStringLiteral("id")).toInt();
        order.append(id);
        const PayloadEntry& entry = (id == 3 ? payload3 : payload9).At(0, 1);
        QCOMPARE(DataOf(e).left(entry.length), entry.bytes.left(entry.length));
    }
    QCOMPARE(order, QList<int>({3, 9}));
}

void TestLinkCli::powerReachesEveryListedSign() {
    SimProcess sim(QStringLiteral("P27"), {QStringLiteral("--ids"), QStringLiteral("2,4")},
                   SimProcess::Trace::Off);
    QVERIFY2(!sim.device.isEmpty(), "vexa-sim did not start");
    const VexaRun power = VexaRun::Of(
        work, data,
        {QStringLiteral("power"), QStringLiteral("off"), QStringLiteral("--ids"), QStringLiteral("2,4"),
         QStringLiteral("--model"), QStringLiteral("P27"), QStringLiteral("--port"), sim.device});
    QCOMPARE(power.exit, 0);
    QCOMPARE(power.out.split(u'\n', Qt::SkipEmptyParts), QStringList({"ID 2: OK!", "ID 4: OK!"}));
    QTRY_COMPARE_WITH_TIMEOUT(sim.Events(QStringLiteral("power")).size(), 2, 3000);
    const VexaRun json =
        VexaRun::Of(work, data,
                    {QStringLiteral("power"), QStringLiteral("on"), QStringLiteral("--ids"),
                     QStringLiteral("4,2"), QStringLiteral("--json"), QStringLiteral("--model"),
                     QStringLiteral("P27"), QStringLiteral("--port"), sim.device});
    QCOMPARE(json.exit, 0);
    const QJsonArray signs = QJsonDocument::fromJson(json.out.toUtf8()).array();
    QCOMPARE(signs.size(), 2);
    QCOMPARE(signs[0].toObject().value(QStringLiteral("id")).toInt(), 4);
    QCOMPARE(signs[1].toObject().value(QStringLiteral("result")).toInt(), 0);
}

// P04 drops "ä" of its text: pack and send name the row on stderr and in JSON; with
// --strict neither prints data nor sends, and the sign receives nothing.
void TestLinkCli::rowsThatWillNotLookAsPreviewedAreWarned() {
    const QString file = MakeFile(QStringLiteral("P04"), QStringLiteral("[ASCII]Nächster Halt"));
    QVERIFY(!file.isEmpty());
    const QString warning = QStringLiteral("warning: row 1: not sent to the sign: ä (U+00E4)");
    const QStringList pack{QStringLiteral("pack"), file, QStringLiteral("--model"), QStringLiteral("P04")};
    const VexaRun packed = VexaRun::Of(work, data, pack + QStringList{QStringLiteral("--json")});
    QCOMPARE(packed.exit, 0);
    QCOMPARE(packed.err.trimmed(), warning);
    const QJsonArray rows =
        QJsonDocument::fromJson(packed.out.toUtf8()).object().value(QStringLiteral("rows")).toArray();
    QCOMPARE(rows.at(0).toObject().value(QStringLiteral("warnings")).toArray(), QJsonArray());
    const QJsonObject finding =
        rows.at(1).toObject().value(QStringLiteral("warnings")).toArray().at(0).toObject();
    QCOMPARE(finding.value(QStringLiteral("kind")).toString(), QStringLiteral("dropped"));
    QCOMPARE(finding.value(QStringLiteral("subjects")).toArray(), QJsonArray{QStringLiteral("ä")});
    const VexaRun strictPack = VexaRun::Of(work, data, pack + QStringList{QStringLiteral("--strict")});
    QCOMPARE(strictPack.exit, 6);
    QCOMPARE(strictPack.out, QString());

    SimProcess sim(QStringLiteral("P04"), {QStringLiteral("--ids"), QStringLiteral("1")},
                   SimProcess::Trace::Off);
    QVERIFY2(!sim.device.isEmpty(), "vexa-sim did not start");
    const QStringList send{QStringLiteral("send"),    file,
                           QStringLiteral("--model"), QStringLiteral("P04"),
                           QStringLiteral("--port"),  sim.device};
    const VexaRun refused = VexaRun::Of(work, data, send + QStringList{QStringLiteral("--strict")});
    QCOMPARE(refused.exit, 6);
    QVERIFY2(refused.err.startsWith(warning), qPrintable(refused.err));
    QTest::qWait(300);
    QCOMPARE(sim.Events(QStringLiteral("message")).size(), 0);
    const VexaRun sent = VexaRun::Of(work, data, send);
    QCOMPARE(sent.exit, 0);
    QCOMPARE(sent.err.trimmed(), warning);
    QByteArray received;
    QTRY_VERIFY_WITH_TIMEOUT(
        [&] {
            for (const QJsonObject& e : sim.Events(QStringLiteral("message")))
                if (e.value(QStringLiteral("slot")).toInt() == 1)
                    received = DataOf(e);
            return !received.isEmpty();
        }(),
        5000);
    QCOMPARE(received, QByteArray("Nchster Halt"));
}

QTEST_MAIN(TestLinkCli)
#include "tst_linkcli.moc"
