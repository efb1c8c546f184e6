// `vexa fleet` against eight simulated lines behind TCP ports: mixed models, several signs
// each, one line whose server never answers, one that hangs up in the middle of a send.

#include "app/WorkFiles.h"
#include "core/ModelCatalogue.h"
#include "core/ModelParams.h"
#include "core/Payload.h"
#include "link/FamilyFrameSource.h"
#include "link/families/SendInputsAccess.h"
#include "render/GlyphLibrary.h"
#include "render/SendPreparation.h"
#include "store/AppPaths.h"
#include "store/CIdList.h"
#include "store/CMessageTable.h"
#include "store/SystemSettings.h"
#include "support/SendFixtures.h"
#include "support/SimProcess.h"
#include "support/VexaRun.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <limits>
#include <memory>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace vexa;
using namespace vexa::test;

namespace {

QString RichText(const QString& text) {
    return QStringLiteral("{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}{\\colortbl;\\red255\\green0\\blue0;}"
                          "\\f0\\cf1\\fs24 %1\\par}")
        .arg(text);
}

// A server port that takes no connection: its one-place queue is held full, so the kernel
// drops every further connection request unanswered, as a device server that is off does.
class SilentServer {
public:
    SilentServer() {
        listener = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
            ::listen(listener, 0) != 0 ||
            ::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length) != 0)
            return;
        filler = ::socket(AF_INET, SOCK_STREAM, 0);
        if (::connect(filler, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0)
            port = QStringLiteral("tcp://127.0.0.1:%1").arg(ntohs(address.sin_port));
    }
    ~SilentServer() {
        ::close(filler);
        ::close(listener);
    }
    QString port;

private:
    int listener = -1;
    int filler = -1;
};

struct Line {
    QString name;
    QString model;
    QList<int> ids;
    QString dir;
    QString port;
    std::unique_ptr<SimProcess> sim;
};

// The bytes a 485 send of one sign's file puts on the wire.
qsizetype WireBytes(const QString& model, const QString& file, int id, const QString& dataDir) {
    const Payload payload = Prepared(model, file, dataDir);
    CMessageTable table;
    table.OpenMessageFile(file);
    ModelParams params;
    params.SetFrom(*ModelCatalogue::Find(model));
    SendInputs inputs;
    inputs.family = static_cast<LinkFamily>(params.family);
    inputs.rows = params.rows;
    inputs.slotCount = params.slotCount;
    inputs.pageWidth = params.pageWidth;
    inputs.currentId = id;
    inputs.address485 = true;
    inputs.payload = &payload;
    for (int j = 0; j < Payload::RowCount; ++j)
        SendInputsAccess::Slot(inputs, j).sendFlag = table.sendFlag[static_cast<size_t>(j)];
    qsizetype total = 0;
    for (const FrameStep& step : FamilyFrameSource().MessageSequence(inputs))
        total += step.bytes.size();
    return total;
}

// What the simulator decoded for each sign: row 1's data of set 0, by the ID the frames
// before it addressed; read until the signs of ids are there (or five seconds passed).
QHash<int, QByteArray> DecodedRowOne(SimProcess& sim, const QList<int>& ids = {}) {
    QHash<int, QByteArray> decoded;
    QDeadlineTimer deadline(5000);
    do {
        sim.Collect(50);
        int id = -1;
        for (const QJsonObject& e : sim.All()) {
            if (e.contains(QStringLiteral("id")))
                id = e.value(QStringLiteral("id")).toInt();
            if (e.value(QStringLiteral("event")).toString() == QLatin1String("message") &&
                e.value(QStringLiteral("slot")).toInt() == 1 && e.value(QStringLiteral("set")).toInt(0) == 0)
                decoded.insert(id,
                               QByteArray::fromHex(e.value(QStringLiteral("data")).toString().toLatin1()));
        }
    } while (!std::all_of(ids.cbegin(), ids.cend(), [&](int id) { return decoded.contains(id); }) &&
             !deadline.hasExpired());
    return decoded;
}

struct FleetRun {
    int exit = -1;
    QList<QJsonObject> signs;
    QHash<QString, QJsonObject> lines;
    QJsonObject summary;
    QString err;

    QList<QJsonObject> SignsOf(const QString& line) const {
        QList<QJsonObject> found;
        for (const QJsonObject& s : signs)
            if (s.value(QStringLiteral("line")).toString() == line)
                found.append(s);
        return found;
    }
};

FleetRun Parse(const VexaRun& run) {
    FleetRun fleet;
    fleet.exit = run.exit;
    fleet.err = run.err;
    for (const QString& text : run.out.split(u'\n', Qt::SkipEmptyParts)) {
        const QJsonObject object = QJsonDocument::fromJson(text.toUtf8()).object();
        const QString type = object.value(QStringLiteral("type")).toString();
        if (type == QLatin1String("sign"))
            fleet.signs.append(object);
        else if (type == QLatin1String("line"))
            fleet.lines.insert(object.value(QStringLiteral("line")).toString(), object);
        else if (type == QLatin1String("summary"))
            fleet.summary = object;
    }
    return fleet;
}

} // namespace

class TestFleet : public QObject {
    Q_OBJECT
private slots:
    void init();
    void sendReportsEverySignWhileLinesRunSideBySide();
    void clockReportsEveryLine();
    void stoppedLinesSayWhichSignsWereDone();
    void checkNamesEveryProblem();

private:
    Line& AddLine(const QString& name, const QString& model, const QList<int>& ids,
                  const QStringList& simFaults, bool simulated = true);
    QString WriteFleet(const QString& extra = QString());
    VexaRun Fleet(const QStringList& args, int limitMs = 60000);
    void CheckSent(Line& line, const FleetRun& run, const QList<int>& sentIds);

    std::unique_ptr<QTemporaryDir> dir;
    std::vector<std::unique_ptr<Line>> lines;
    std::unique_ptr<SilentServer> silent;
};

void TestFleet::init() {
    lines.clear();
    silent.reset();
    dir = std::make_unique<QTemporaryDir>();
    QVERIFY(dir->isValid());
}

// A line's folder: its model, sign list (every sign ticked) and one message file per sign
// with a text of its own; the simulator holds the same IDs.
Line& TestFleet::AddLine(const QString& name, const QString& model, const QList<int>& ids,
                         const QStringList& simFaults, bool simulated) {
    auto line = std::make_unique<Line>();
    line->name = name;
    line->model = model;
    line->ids = ids;
    line->dir = dir->filePath(name);
    const AppPaths paths(line->dir, line->dir);
    QDir().mkpath(paths.WorkDataDir());
    SystemSettings(paths.SystemSetPath()).SetLedType(model);
    CIdList list(paths.IdListPath());
    QStringList idTexts;
    for (const int id : ids) {
        CIdList::Entry& entry = list.entries[static_cast<size_t>(id)];
        entry.name = QStringLiteral("%1 sign %2").arg(name).arg(id);
        entry.groupMask = 1;
        entry.checkMask = 1;
        idTexts << QString::number(id);
        const QString file = paths.WorkFilePath(id);
        WorkFiles::WriteTemplate(ModelCatalogue::TemplateFor(model), file);
        CMessageTable table;
        table.OpenMessageFile(file);
        table.StoreContent(1, RichText(QStringLiteral("%1-%2").arg(name.toUpper()).arg(id)));
        table.kind[1] = CMessageTable::KindText;
        table.sendFlag[1] = 1;
        table.SaveParams();
    }
    list.SaveIdList();
    if (simulated) {
        line->sim = std::make_unique<SimProcess>(model,
                                                 QStringList{QStringLiteral("--listen"),
                                                             QStringLiteral("tcp://127.0.0.1:0"),
                                                             QStringLiteral("--ids"), idTexts.join(u',')} +
                                                     simFaults,
                                                 SimProcess::Trace::Off);
        line->port = line->sim->device;
    }
    lines.push_back(std::move(line));
    return *lines.back();
}

// Written as an operator would by hand: UTF-8, LF line ends, spaces around '=', a comment.
QString TestFleet::WriteFleet(const QString& extra) {
    QString text = QStringLiteral("; test site\n");
    for (const auto& line : lines)
        text += QStringLiteral("[Line %1]\nPort = %2\nModel = %3\nDataDir = %1\nMode485 = 1\n\n")
                    .arg(line->name, line->port, line->model);
    const QString path = dir->filePath(QStringLiteral("site.fleet"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write((text + extra).toUtf8()) < 0)
        return {};
    return path;
}

VexaRun TestFleet::Fleet(const QStringList& args, int limitMs) {
    return VexaRun::Of(dir->path(), dir->path(), QStringList{QStringLiteral("fleet")} + args, limitMs);
}

// Every sign of sentIds reported success and its simulator decoded exactly its file's bytes.
void TestFleet::CheckSent(Line& line, const FleetRun& run, const QList<int>& sentIds) {
    const QHash<int, QByteArray> decoded = DecodedRowOne(*line.sim, sentIds);
    for (const QJsonObject& sign : run.SignsOf(line.name)) {
        const int id = sign.value(QStringLiteral("id")).toInt();
        if (!sentIds.contains(id))
            continue;
        QVERIFY2(sign.value(QStringLiteral("ok")).toBool(), qPrintable(line.name + QString::number(id)));
        QCOMPARE(sign.value(QStringLiteral("result")).toString(), QStringLiteral("OK!"));
        const Payload payload = Prepared(line.model, AppPaths(line.dir, line.dir).WorkFilePath(id), line.dir);
        const PayloadEntry& entry = payload.At(0, 1);
        QVERIFY(entry.length > 0);
        QVERIFY2(decoded.contains(id), qPrintable(line.name + QString::number(id)));
        QCOMPARE(decoded.value(id).left(entry.length).toHex(), entry.bytes.left(entry.length).toHex());
    }
}

void TestFleet::sendReportsEverySignWhileLinesRunSideBySide() {
    // Paged models (P29-P36) pace their pages for a second each at the sign: the silent line
    // names one, the working lines take the other families.
    const QStringList models{"P27", "P13", "P06", "P01", "P19", "P26"};
    for (int i = 0; i < models.size(); ++i)
        AddLine(QStringLiteral("line%1").arg(i + 1), models[i], {2, 3 + i, 12}, {});
    silent = std::make_unique<SilentServer>();
    QVERIFY(!silent->port.isEmpty());
    AddLine(QStringLiteral("silent"), QStringLiteral("P30"), {1, 2}, {}, false).port = silent->port;
    // The hang-up comes in the middle of the second sign.
    const QString hangupDir = dir->filePath(QStringLiteral("hangup"));
    Line& hangup = AddLine(QStringLiteral("hangup"), QStringLiteral("P28"), {3, 4, 6}, {}, false);
    const AppPaths paths(hangupDir, hangupDir);
    const qsizetype first = WireBytes(QStringLiteral("P28"), paths.WorkFilePath(3), 3, hangupDir);
    const qsizetype second = WireBytes(QStringLiteral("P28"), paths.WorkFilePath(4), 4, hangupDir);
    hangup.sim = std::make_unique<SimProcess>(
        QStringLiteral("P28"),
        QStringList{QStringLiteral("--listen"), QStringLiteral("tcp://127.0.0.1:0"), QStringLiteral("--ids"),
                    QStringLiteral("3,4,6"), QStringLiteral("--hangup-after"),
                    QString::number(first + second / 2)},
        SimProcess::Trace::Off);
    hangup.port = hangup.sim->device;
    for (const auto& line : lines)
        QVERIFY2(!line->port.isEmpty(), qPrintable(line->name));

    const FleetRun run = Parse(Fleet({QStringLiteral("send"), WriteFleet(), QStringLiteral("--json")}));
    QCOMPARE(run.exit, 1);
    QCOMPARE(run.lines.size(), 8);
    for (const auto& line : lines) {
        const QJsonObject object = run.lines.value(line->name);
        QCOMPARE(run.SignsOf(line->name).size(), line->ids.size());
        const bool working = line->name.startsWith(QLatin1String("line"));
        QCOMPARE(object.value(QStringLiteral("ok")).toBool(), working);
        if (working)
            CheckSent(*line, run, line->ids);
    }
    for (const QJsonObject& sign : run.SignsOf(QStringLiteral("silent"))) {
        QCOMPARE(sign.value(QStringLiteral("result")).toString(), QStringLiteral("Open COM Port Failure!"));
        QVERIFY(sign.value(QStringLiteral("reason")).toString().contains(silent->port));
    }
    CheckSent(hangup, run, {3});
    const QList<QJsonObject> hung = run.SignsOf(QStringLiteral("hangup"));
    QCOMPARE(hung[1].value(QStringLiteral("result")).toString(), QStringLiteral("Send Failure!"));
    QCOMPARE(hung[2].value(QStringLiteral("ok")).toBool(), false);

    // Side by side: every line was under way before the first one ended, and the whole run
    // took far less than its lines one after the other.
    qint64 lastStart = 0;
    qint64 firstEnd = std::numeric_limits<qint64>::max();
    qint64 serial = 0;
    for (const QJsonObject& line : run.lines) {
        const qint64 started = line.value(QStringLiteral("startedMs")).toInteger();
        const qint64 ended = line.value(QStringLiteral("endedMs")).toInteger();
        lastStart = std::max(lastStart, started);
        firstEnd = std::min(firstEnd, ended);
        serial += ended - started;
    }
    QVERIFY(lastStart < firstEnd);
    QVERIFY2(run.summary.value(QStringLiteral("ms")).toInteger() * 2 < serial,
             qPrintable(QStringLiteral("%1 ms for lines of %2 ms together")
                            .arg(run.summary.value(QStringLiteral("ms")).toInteger())
                            .arg(serial)));
}

void TestFleet::clockReportsEveryLine() {
    for (const QString& model : {QStringLiteral("P27"), QStringLiteral("P30"), QStringLiteral("P13")})
        AddLine(model.toLower(), model, {1, 2}, {});
    silent = std::make_unique<SilentServer>();
    AddLine(QStringLiteral("silent"), QStringLiteral("P26"), {1}, {}, false).port = silent->port;
    AddLine(QStringLiteral("hangup"), QStringLiteral("P28"), {1},
            {QStringLiteral("--hangup-after"), QStringLiteral("5")});

    const VexaRun text = Fleet({QStringLiteral("clock"), WriteFleet()});
    QCOMPARE(text.exit, 1);
    // The table: one row per line (the clock frame reaches all its signs at once), then the summary.
    const QStringList rows = text.out.split(u'\n', Qt::SkipEmptyParts);
    QCOMPARE(rows.size(), 1 + 5 + 1);
    for (const QString& name : {QStringLiteral("p27"), QStringLiteral("p30"), QStringLiteral("p13")}) {
        const QString row = rows.filter(QRegularExpression(QStringLiteral("^%1 ").arg(name))).value(0);
        QVERIFY2(row.contains(QStringLiteral(" all ")) && row.contains(QStringLiteral("Check Time Ok !")),
                 qPrintable(row));
    }
    QVERIFY(!rows.filter(QRegularExpression(QStringLiteral("^silent .*%1").arg(silent->port))).isEmpty());
    QVERIFY(rows.filter(QRegularExpression(QStringLiteral("^hangup .*Check Time Ok"))).isEmpty());
    QVERIFY2(rows.last().startsWith(QStringLiteral("clock: 5 lines, 3 succeeded, 2 failed; 5 signs, 3 OK")),
             qPrintable(rows.last()));
    for (const auto& line : lines) {
        if (line->sim && line->name != QLatin1String("hangup"))
            QTRY_COMPARE_WITH_TIMEOUT(line->sim->Events(QStringLiteral("clock")).size(), 1, 3000);
    }
}

void TestFleet::stoppedLinesSayWhichSignsWereDone() {
    // Ctrl+C once the second sign is under way: the first is done, the second stopped, the
    // third never sent.
    Line& slow = AddLine(QStringLiteral("slow"), QStringLiteral("P13"), {1, 2, 3}, {});
    QProcess fleet;
    fleet.setWorkingDirectory(dir->path());
    fleet.start(QStringLiteral(VEXA_BIN_DIR "/vexa"),
                {QStringLiteral("fleet"), QStringLiteral("send"), WriteFleet(), QStringLiteral("--json")});
    QTRY_VERIFY_WITH_TIMEOUT(
        DecodedRowOne(*slow.sim).contains(1) && !slow.sim->Events(QStringLiteral("pass")).isEmpty() &&
            slow.sim->Events(QStringLiteral("pass")).last().value(QStringLiteral("id")).toInt() == 2,
        20000);
    ::kill(static_cast<pid_t>(fleet.processId()), SIGINT);
    FleetRun run = Parse(VexaRun::Finish(fleet, 20000));
    QCOMPARE(run.exit, 130);
    QList<QJsonObject> signs = run.SignsOf(QStringLiteral("slow"));
    QCOMPARE(signs.size(), 3);
    QCOMPARE(signs[0].value(QStringLiteral("result")).toString(), QStringLiteral("OK!"));
    QCOMPARE(signs[1].value(QStringLiteral("result")).toString(), QStringLiteral("interrupted"));
    QCOMPARE(signs[2].value(QStringLiteral("result")).toString(), QStringLiteral("not done"));
    QVERIFY(run.summary.value(QStringLiteral("interrupted")).toBool());
    slow.sim->WaitQuiet(500, 3000);
    QVERIFY(!DecodedRowOne(*slow.sim).contains(3));

    // A line over its time limit is stopped the same way, the others unaffected.
    lines.clear();
    silent = std::make_unique<SilentServer>();
    AddLine(QStringLiteral("silent"), QStringLiteral("P26"), {1, 2}, {}, false).port = silent->port;
    run = Parse(Fleet({QStringLiteral("send"), WriteFleet(), QStringLiteral("--json"),
                       QStringLiteral("--timeout"), QStringLiteral("1")}));
    QCOMPARE(run.exit, 1);
    QCOMPARE(run.lines.value(QStringLiteral("silent")).value(QStringLiteral("state")).toString(),
             QStringLiteral("timed out"));
    signs = run.SignsOf(QStringLiteral("silent"));
    QCOMPARE(signs[0].value(QStringLiteral("result")).toString(), QStringLiteral("timed out"));
    QCOMPARE(signs[1].value(QStringLiteral("result")).toString(), QStringLiteral("not done"));
}

void TestFleet::checkNamesEveryProblem() {
    AddLine(QStringLiteral("good"), QStringLiteral("P27"), {1}, {}, false).port =
        QStringLiteral("tcp://127.0.0.1:4001");
    const QString path =
        WriteFleet(QStringLiteral("[Line twin]\nPort=tcp://127.0.0.1:4001\nModel=P27\nDataDir=good\n"
                                  "[Line odd]\nPort=udp://x:1\nModel=P99\nDataDir=nowhere\nSpeed=3\n"
                                  "Enabled=yes\n"
                                  "[Lien typo]\nPort=/dev/ttyUSB0\n"
                                  "[Line spare]\nPort=/dev/ttyUSB9\nModel=P27\nDataDir=unused\nEnabled=0\n"));
    const VexaRun check = Fleet({QStringLiteral("check"), path});
    QCOMPARE(check.exit, 1);
    for (const QString& expected :
         {QStringLiteral("line good: problem: port tcp://127.0.0.1:4001 is also line twin's"),
          QStringLiteral("line twin: problem: folder %1 is also line good's")
              .arg(dir->filePath(QStringLiteral("good"))),
          QStringLiteral("line odd: problem: unknown model 'P99'"),
          QStringLiteral("line odd: problem: port 'udp://x:1'"),
          QStringLiteral("line odd: problem: folder %1 does not exist")
              .arg(dir->filePath(QStringLiteral("nowhere"))),
          QStringLiteral("line odd: problem: unknown value 'Speed'"),
          QStringLiteral("line odd: problem: Enabled must be 0 or 1, not 'yes'"),
          QStringLiteral("problem: [Lien typo] is not a line"),
          QStringLiteral("line spare: warning: folder %1 does not exist")
              .arg(dir->filePath(QStringLiteral("unused")))})
        QVERIFY2(check.out.contains(expected), qPrintable(expected + QStringLiteral("\n---\n") + check.out));
    QVERIFY2(!check.out.contains(QStringLiteral("line spare: problem")),
             qPrintable(check.out)); // not run: noted only

    // A run passes the lines that cannot run over, naming why, and fails.
    const FleetRun run =
        Parse(Fleet({QStringLiteral("power"), QStringLiteral("on"), path, QStringLiteral("--json"),
                     QStringLiteral("--lines"), QStringLiteral("odd")}));
    QCOMPARE(run.exit, 1);
    QCOMPARE(run.lines.value(QStringLiteral("odd")).value(QStringLiteral("state")).toString(),
             QStringLiteral("not run"));
    QVERIFY(Fleet({QStringLiteral("send"), path, QStringLiteral("--lines"), QStringLiteral("nosuch")})
                .err.contains(QStringLiteral("no line nosuch")));
}

QTEST_MAIN(TestFleet)
#include "tst_fleet.moc"
