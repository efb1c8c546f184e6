// The link verbs through a real serial device server (ser2net on 127.0.0.1) in front of a
// simulated sign, raw and with RFC 2217, and the faults of a network line.

#include "core/ModelCatalogue.h"
#include "link/SerialSettings.h"
#include "support/DeviceServer.h"
#include "support/VexaRun.h"

#include <QDir>
#include <QJsonArray>
#include <QTemporaryDir>
#include <QTest>
#include <map>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace vexa;
using namespace vexa::test;

namespace {

const QString kRichText =
    QStringLiteral("{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}{\\colortbl;\\red255\\green0\\blue0;"
                   "\\red0\\green255\\blue0;}\\f0\\cf1\\fs24 AB\\cf2 C\\par}");

int BaudOf(const QString& model) {
    const DisplayModel* m = ModelCatalogue::Find(model);
    return SerialSettings::Parse(ModelCatalogue::PortSettingsFor(m->rows, model))->baud;
}

// Pauses of at least 300 ms in a trace taken on an instant line: the byte offset after which
// the line went quiet, and for how long.
std::map<qsizetype, qint64> LongPauses(const QList<SimProcess::Chunk>& chunks) {
    std::map<qsizetype, qint64> pauses;
    qsizetype offset = 0;
    for (qsizetype i = 0; i < chunks.size(); ++i) {
        if (i > 0 && chunks[i].t - chunks[i - 1].t >= 300)
            pauses[offset] = chunks[i].t - chunks[i - 1].t;
        offset += chunks[i].bytes.size();
    }
    return pauses;
}

// The quiet time a sign behind the server sees before byte offset: bytes go onto its serial
// line as they arrive, one every 10 bits at the baud rate, so a frame that arrived early
// still occupies the line.
std::map<qsizetype, double> PausesAtTheSign(const QList<SimProcess::Chunk>& chunks, int baud) {
    std::map<qsizetype, double> pauses;
    const double byteMs = 10000.0 / baud;
    double lineFree = -1e9;
    qsizetype offset = 0;
    for (const SimProcess::Chunk& chunk : chunks) {
        pauses[offset] = std::max(0.0, static_cast<double>(chunk.t) - lineFree);
        lineFree = std::max(lineFree, static_cast<double>(chunk.t)) +
                   byteMs * static_cast<double>(chunk.bytes.size());
        offset += chunk.bytes.size();
    }
    return pauses;
}

// A server that accepts connections (the kernel does, from the backlog) and never reads
// nor answers. Its small receive buffer makes a writer's socket queue fill soon.
class SilentServer {
public:
    SilentServer() {
        fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        const int small = 2048;
        ::setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &small, sizeof small);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 && ::listen(fd, 4) == 0 &&
            ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0)
            port = ntohs(address.sin_port);
    }
    ~SilentServer() { ::close(fd); }
    int port = 0;

private:
    int fd = -1;
};

} // namespace

class TestDeviceServer : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void sendIsTheSameThroughTheServer_data();
    void sendIsTheSameThroughTheServer();
    void commandsGetTheirRepliesThroughTheServer_data();
    void commandsGetTheirRepliesThroughTheServer();
    void scanFindsTheSignsThroughTheServer();
    void nothingListeningGivesResultOne_data();
    void nothingListeningGivesResultOne();
    void serverKilledMidSendGivesResultThree();
    void silentServerEndsWithinTheLimits();

private:
    QString MakeFile(const QString& model, const QString& content);
    bool StartServer(Ser2net& server, SimProcess& sim, Ser2net::Mode mode, const QString& model);

    std::unique_ptr<QTemporaryDir> dir;
    QString work;
    QString data;
    std::map<QString, QList<SimProcess::Chunk>> localTraces; // per model, from a local send
};

void TestDeviceServer::initTestCase() {
    if (!QFileInfo(kSer2net).isExecutable())
        QSKIP("ser2net is not installed (scripts/install-deps.sh installs it)");
}

void TestDeviceServer::init() {
    dir = std::make_unique<QTemporaryDir>();
    work = dir->path();
    data = dir->filePath(QStringLiteral("data"));
    QDir().mkpath(data);
}

QString TestDeviceServer::MakeFile(const QString& model, const QString& content) {
    return VexaRun::NewMessageFile(work, data, QDir(work).filePath(QStringLiteral("m.led")), model, content);
}

// A raw server's line is set at the server, as an installer would set it for the signs; an
// RFC 2217 server starts at 1200 baud and gets the model's rate from the program.
bool TestDeviceServer::StartServer(Ser2net& server, SimProcess& sim, Ser2net::Mode mode,
                                   const QString& model) {
    if (sim.device.isEmpty())
        return false;
    const int baud = mode == Ser2net::Mode::Raw ? BaudOf(model) : 1200;
    QString error;
    if (!server.Start(sim.device, mode, QStringLiteral("%1n81").arg(baud), work, error)) {
        qWarning("ser2net did not start: %s", qPrintable(error));
        return false;
    }
    return true;
}

void TestDeviceServer::sendIsTheSameThroughTheServer_data() {
    QTest::addColumn<QString>("model");
    QTest::addColumn<QString>("content");
    QTest::addColumn<int>("mode");
    const struct {
        const char* model;
        const char* family;
    } models[] = {{"P01", "0"}, {"P13", "1"}, {"P30", "2"}, {"P04", "3"}, {"P06", "4"}, {"P27", "5"}};
    for (const auto& m : models) {
        const QString content =
            QString::fromLatin1(m.model) == QLatin1String("P04") ? QStringLiteral("[ASCII]AB") : kRichText;
        QTest::addRow("family %s %s raw", m.family, m.model) << m.model << content << int(Ser2net::Mode::Raw);
        QTest::addRow("family %s %s rfc2217", m.family, m.model)
            << m.model << content << int(Ser2net::Mode::Rfc2217);
    }
}

void TestDeviceServer::sendIsTheSameThroughTheServer() {
    QFETCH(QString, model);
    QFETCH(QString, content);
    QFETCH(int, mode);
    const QString file = MakeFile(model, content);
    QVERIFY(!file.isEmpty());
    const QStringList send = {QStringLiteral("send"), file, QStringLiteral("--model"), model,
                              QStringLiteral("--port")};

    if (localTraces.count(model) == 0) {
        SimProcess local(model);
        QVERIFY(!local.device.isEmpty());
        const VexaRun sent = VexaRun::Of(work, data, send + QStringList{local.device});
        QCOMPARE(sent.exit, 0);
        local.WaitQuiet();
        localTraces[model] = local.Chunks();
    }
    const QList<SimProcess::Chunk>& localTrace = localTraces[model];
    QByteArray localBytes;
    for (const SimProcess::Chunk& c : localTrace)
        localBytes += c.bytes;
    QVERIFY(!localBytes.isEmpty());

    SimProcess sim(model);
    Ser2net server;
    QVERIFY(StartServer(server, sim, Ser2net::Mode(mode), model));
    const VexaRun sent = VexaRun::Of(work, data, send + QStringList{server.url});
    QCOMPARE(sent.exit, 0);
    QCOMPARE(sent.out.trimmed(), QStringLiteral("OK!"));
    sim.WaitQuiet();
    QCOMPARE(sim.Received().toHex(), localBytes.toHex());

    // Every long pause of the family reaches the sign at least 80 % as long.
    const int baud = BaudOf(model);
    // Both traces are measured the same way: the quiet line time before each long pause,
    // after the bytes before it have left the line.
    const std::map<qsizetype, double> atSign = PausesAtTheSign(sim.Chunks(), baud);
    const std::map<qsizetype, double> atLocalSign = PausesAtTheSign(localTrace, baud);
    for (const auto& [offset, gap] : LongPauses(localTrace)) {
        const double prescribed =
            atLocalSign.count(offset) ? atLocalSign.at(offset) : static_cast<double>(gap);
        const auto found = atSign.find(offset);
        const double seen = found == atSign.end() ? 0.0 : found->second;
        QVERIFY2(seen >= 0.8 * prescribed,
                 qPrintable(QStringLiteral("pause after byte %1: %2 ms at the sign, %3 ms prescribed")
                                .arg(offset)
                                .arg(seen)
                                .arg(prescribed)));
    }
    if (mode == int(Ser2net::Mode::Rfc2217)) {
        const QList<QJsonObject> lines = sim.Events(QStringLiteral("line"));
        QVERIFY(!lines.isEmpty());
        for (const QJsonObject& line : lines)
            QCOMPARE(line.value(QStringLiteral("baud")).toInt(), baud);
    }
}

void TestDeviceServer::commandsGetTheirRepliesThroughTheServer_data() {
    QTest::addColumn<int>("mode");
    QTest::newRow("raw") << int(Ser2net::Mode::Raw);
    QTest::newRow("rfc2217") << int(Ser2net::Mode::Rfc2217);
}

void TestDeviceServer::commandsGetTheirRepliesThroughTheServer() {
    QFETCH(int, mode);
    const QString model = QStringLiteral("P13");
    SimProcess sim(model, {QStringLiteral("--ids"), QStringLiteral("5")});
    Ser2net server;
    QVERIFY(StartServer(server, sim, Ser2net::Mode(mode), model));
    const QStringList port = {QStringLiteral("--model"), model, QStringLiteral("--port"), server.url};
    const VexaRun read = VexaRun::Of(work, data, QStringList{QStringLiteral("read-id")} + port);
    QCOMPARE(read.exit, 0);
    QCOMPARE(read.out.split(u'\n', Qt::SkipEmptyParts),
             QStringList({QStringLiteral("Success!"), QStringLiteral("5")}));
    const VexaRun clock = VexaRun::Of(work, data, QStringList{QStringLiteral("clock")} + port);
    QCOMPARE(clock.exit, 0);
    QCOMPARE(clock.out.trimmed(), QStringLiteral("Check Time Ok !"));
    QTRY_VERIFY_WITH_TIMEOUT(!sim.Events(QStringLiteral("clock")).isEmpty(), 3000);
}

void TestDeviceServer::scanFindsTheSignsThroughTheServer() {
    const QString model = QStringLiteral("P27");
    SimProcess sim(model, {QStringLiteral("--ids"), QStringLiteral("3,200")});
    Ser2net server;
    QVERIFY(StartServer(server, sim, Ser2net::Mode::Rfc2217, model));
    const VexaRun scan = VexaRun::Of(work, data,
                                     {QStringLiteral("scan"), QStringLiteral("--model"), model,
                                      QStringLiteral("--port"), server.url, QStringLiteral("--json")});
    QCOMPARE(scan.exit, 0);
    QCOMPARE(QJsonDocument::fromJson(scan.out.toUtf8()).array(), QJsonArray({3, 200}));
}

void TestDeviceServer::nothingListeningGivesResultOne_data() {
    QTest::addColumn<QString>("scheme");
    QTest::newRow("raw") << "tcp";
    QTest::newRow("rfc2217") << "rfc2217";
}

void TestDeviceServer::nothingListeningGivesResultOne() {
    QFETCH(QString, scheme);
    const QString url = QStringLiteral("%1://127.0.0.1:%2").arg(scheme).arg(FreeLoopbackPort());
    const QString file = MakeFile(QStringLiteral("P13"), kRichText);
    const VexaRun sent = VexaRun::Of(work, data,
                                     {QStringLiteral("send"), file, QStringLiteral("--model"),
                                      QStringLiteral("P13"), QStringLiteral("--port"), url});
    QCOMPARE(sent.exit, 1);
    QVERIFY2(sent.err.contains(QStringLiteral("Open COM Port Failure! ") + url +
                               QStringLiteral(": cannot connect: Connection refused")),
             qPrintable(sent.err));
    QVERIFY2(!sent.err.contains(url + QStringLiteral(": ") + url), qPrintable(sent.err)); // the name once
    QVERIFY(sent.ms < 5000);
}

void TestDeviceServer::serverKilledMidSendGivesResultThree() {
    const QString model = QStringLiteral("P30"); // paged blocks: long pauses between the pages
    const QString file = MakeFile(model, kRichText);
    SimProcess sim(model);
    Ser2net server;
    QVERIFY(StartServer(server, sim, Ser2net::Mode::Raw, model));
    QProcess vexa;
    vexa.setWorkingDirectory(work);
    vexa.start(QStringLiteral(VEXA_BIN_DIR "/vexa"),
               VexaRun::Arguments(data, {QStringLiteral("send"), file, QStringLiteral("--model"), model,
                                         QStringLiteral("--port"), server.url}));
    QTRY_VERIFY_WITH_TIMEOUT(!sim.Chunks().isEmpty(), 10000);
    server.Kill();
    const VexaRun sent = VexaRun::Finish(vexa, 20000);
    QCOMPARE(sent.exit, 3);
    QVERIFY2(sent.err.contains(QStringLiteral("Send Failure!")), qPrintable(sent.err));
    QVERIFY2(sent.err.contains(server.url + QStringLiteral(": the server closed the connection")) ||
                 sent.err.contains(server.url + QStringLiteral(": the connection to the server was lost")),
             qPrintable(sent.err));
}

// Nothing hangs on a server that takes the connection and then does nothing: COM port
// control is given up after its limit, a raw line's ID read finds no reply, and frames
// that the server never takes fail the send after the send limit.
void TestDeviceServer::silentServerEndsWithinTheLimits() {
    SilentServer silent;
    QVERIFY(silent.port > 0);
    const QString model = QStringLiteral("P13");
    const QString rfc = QStringLiteral("rfc2217://127.0.0.1:%1").arg(silent.port);
    const QString raw = QStringLiteral("tcp://127.0.0.1:%1").arg(silent.port);

    const VexaRun clock = VexaRun::Of(
        work, data,
        {QStringLiteral("clock"), QStringLiteral("--model"), model, QStringLiteral("--port"), rfc});
    QCOMPARE(clock.exit, 1);
    QVERIFY2(
        clock.err.contains(rfc + QStringLiteral(": no answer to COM port control (RFC 2217) within 3000 ms")),
        qPrintable(clock.err));
    QVERIFY(clock.ms < 6000);

    const VexaRun read = VexaRun::Of(
        work, data,
        {QStringLiteral("read-id"), QStringLiteral("--model"), model, QStringLiteral("--port"), raw});
    QCOMPARE(read.exit, 4);
    QVERIFY(read.err.contains(QStringLiteral("Read failed!")));
    QVERIFY(read.ms < 5000);

    const QString paged = QStringLiteral("P30");
    const QString wide =
        QStringLiteral("{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0\\fs24 %1\\par}").arg(QString(200, u'W'));
    const QString file = MakeFile(paged, wide);
    const VexaRun sent = VexaRun::Of(work, data,
                                     {QStringLiteral("send"), file, QStringLiteral("--model"), paged,
                                      QStringLiteral("--port"), raw, QStringLiteral("--yes")});
    QCOMPARE(sent.exit, 3);
    QVERIFY2(sent.err.contains(raw + QStringLiteral(": a frame did not leave the port within 8000 ms")),
             qPrintable(sent.err));
    QVERIFY2(sent.ms < 25000, qPrintable(QString::number(sent.ms)));
}

QTEST_GUILESS_MAIN(TestDeviceServer)
#include "tst_deviceserver.moc"
