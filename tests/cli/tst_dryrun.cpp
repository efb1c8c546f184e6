#include "app/CVexaApp.h"
#include "app/TransferRunner.h"
#include "core/ModelCatalogue.h"
#include "link/FamilyFrameSource.h"
#include "link/MemorySerialPort.h"
#include "support/SendFixtures.h"
#include "support/VexaRun.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace vexa;
using namespace vexa::test;

namespace {

// The families' frames without their pauses: the same bytes, captured in moments.
class UnpausedFrames : public FamilyFrameSource {
public:
    FrameSequence MessageSequence(const SendInputs& inputs) const override {
        FrameSequence steps = FamilyFrameSource::MessageSequence(inputs);
        for (FrameStep& step : steps)
            step.pauseAfterMs = 0;
        return steps;
    }
};

QByteArray ReadFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestDryRun : public QObject {
    Q_OBJECT
private slots:
    void init() {
        dir = std::make_unique<QTemporaryDir>();
        work = dir->path();
        data = dir->filePath(QStringLiteral("data"));
        QDir().mkpath(data);
    }

    // What a dry run prints as the byte stream is what the real send writes.
    void dryRunBytesAreTheSendsBytes_data() {
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
    void dryRunBytesAreTheSendsBytes() {
        QFETCH(QString, model);
        QFETCH(QString, content);
        const QString file =
            VexaRun::NewMessageFile(work, data, QDir(work).filePath("m.led"), model, content);
        QVERIFY(!file.isEmpty());
        const QString raw = QDir(work).filePath(QStringLiteral("m.bin"));
        const VexaRun dry = VexaRun::Of(work, data,
                                        {QStringLiteral("send"), file, QStringLiteral("--model"), model,
                                         QStringLiteral("--dry-run"), QStringLiteral("--raw"), raw});
        QCOMPARE(dry.exit, 0);
        QVERIFY2(dry.out.contains(QStringLiteral("nothing is sent")), qPrintable(dry.out));
        QVERIFY(!QFile::exists(QDir(work).filePath(QStringLiteral("Debug.Log"))));

        MemorySerialPort port;
        port.SetInstantDrain(true);
        CVexaApp app{AppPaths(data, data)};
        app.signLink.SetPort(&port);
        app.signLink.SetLogFolder(work);
        app.signLink.SetFrameSource(std::make_shared<UnpausedFrames>());
        app.signLink.ApplyModel(model);
        TransferRunner runner(app);
        runner.SetModelName(model);
        QVERIFY(app.messageTable.OpenMessageFile(file));
        QSignalSpy ended(&runner, &TransferRunner::sendsFinished);
        QCOMPARE(runner.BeginTransfer(), TransferRunner::Start::Started);
        QVERIFY(ended.wait(30000));
        const QByteArray sent = port.SentBytes();
        QVERIFY(!sent.isEmpty());
        QCOMPARE(ReadFile(raw).toHex(), sent.toHex());
    }

    // The same flag on every verb that talks to signs: no port, the frames, exit 0.
    void everyLinkVerbHasADryRun_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QByteArray>("start");
        QTest::addColumn<int>("size");
        QTest::newRow("power") << QStringList{"power", "on", "--ids", "2,4", "--model", "P27"}
                               << QByteArray::fromHex("7E02CF00D07E7E04CF00D07E") << 12;
        QTest::newRow("scan") << QStringList{"scan", "--model", "P27"}
                              << QByteArray::fromHex("7E01F20000007E") << 254 * 7;
        QTest::newRow("read-id") << QStringList{"read-id", "--model", "P13"}
                                 << QByteArray::fromHex("48656C966F") << 5;
        QTest::newRow("set-id") << QStringList{"set-id", "5", "9", "--model", "P27"}
                                << QByteArray::fromHex("7E051D09007E") << 6;
        QTest::newRow("clock") << QStringList{"clock", "--model", "P13"} << QByteArray::fromHex("AAAAAAAA02")
                               << 25;
    }
    void everyLinkVerbHasADryRun() {
        QFETCH(QStringList, args);
        QFETCH(QByteArray, start);
        QFETCH(int, size);
        const QString raw = QDir(work).filePath(QStringLiteral("v.bin"));
        const VexaRun dry = VexaRun::Of(
            work, data, args + QStringList{QStringLiteral("--dry-run"), QStringLiteral("--raw"), raw});
        QCOMPARE(dry.exit, 0);
        QVERIFY2(dry.out.contains(QStringLiteral("predicted")), qPrintable(dry.out + dry.err));
        const QByteArray bytes = ReadFile(raw);
        QCOMPARE(bytes.size(), size);
        QCOMPARE(bytes.left(start.size()).toHex(), start.toHex());
    }

    // A file that is no message file is refused as the send refuses it: its ten empty rows
    // would clear the sign. Nothing is written, the file itself included.
    void dryRunRefusesWhatTheSendRefuses() {
        const QString notes = QDir(work).filePath(QStringLiteral("notes.txt"));
        QFile file(notes);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write("hello\n") == 6);
        file.close();
        const QString raw = QDir(work).filePath(QStringLiteral("n.bin"));
        const VexaRun dry =
            VexaRun::Of(work, data,
                        {QStringLiteral("send"), notes, QStringLiteral("--model"), QStringLiteral("P30"),
                         QStringLiteral("--dry-run"), QStringLiteral("--raw"), raw});
        QCOMPARE(dry.exit, 7);
        QVERIFY2(dry.err.contains(QStringLiteral("not a message file")), qPrintable(dry.err));
        QCOMPARE(ReadFile(notes), QByteArray("hello\n"));
        QVERIFY(!QFile::exists(raw));
    }

    // The rows a send would warn about are told by its dry run too, and --strict refuses
    // them there as it does in the send.
    void dryRunWarnsAsTheSendWarns() {
        const QString file = VexaRun::NewMessageFile(work, data, QDir(work).filePath("w.led"),
                                                     QStringLiteral("P04"), kRichText);
        QVERIFY(!file.isEmpty());
        const QStringList args = {QStringLiteral("send"), file, QStringLiteral("--model"),
                                  QStringLiteral("P04"), QStringLiteral("--dry-run")};
        const VexaRun told = VexaRun::Of(work, data, args);
        QCOMPARE(told.exit, 0);
        QVERIFY2(told.err.contains(QStringLiteral("warning: row 1: ")), qPrintable(told.err));
        const VexaRun strict = VexaRun::Of(work, data, args + QStringList{QStringLiteral("--strict")});
        QCOMPARE(strict.exit, 6);
        QVERIFY(!strict.out.contains(QStringLiteral("predicted")));
    }

    // group-send and send --485 plan every sign; --json gives the same as objects.
    void multiSignPlansAsJson() {
        const QString file =
            VexaRun::NewMessageFile(work, data, QDir(work).filePath("g.led"), "P27", kRichText);
        QVERIFY(!file.isEmpty());
        const VexaRun group =
            VexaRun::Of(work, data,
                        {QStringLiteral("group-send"), file, QStringLiteral("--ids"), QStringLiteral("3,9"),
                         QStringLiteral("--model"), QStringLiteral("P27"), QStringLiteral("--dry-run"),
                         QStringLiteral("--json")});
        QCOMPARE(group.exit, 0);
        const QJsonObject plan = QJsonDocument::fromJson(group.out.toUtf8()).object();
        const QJsonArray parts = plan.value(QStringLiteral("parts")).toArray();
        QCOMPARE(parts.size(), 2);
        QCOMPARE(parts[0].toObject().value(QStringLiteral("id")).toInt(), 3);
        QCOMPARE(parts[1].toObject().value(QStringLiteral("id")).toInt(), 9);
        qint64 bytes = 0;
        for (const QJsonValue& part : parts)
            for (const QJsonValue& frame : part.toObject().value(QStringLiteral("frames")).toArray())
                bytes +=
                    QByteArray::fromHex(frame.toObject().value(QStringLiteral("hex")).toString().toLatin1())
                        .size();
        const QJsonObject total = plan.value(QStringLiteral("total")).toObject();
        QCOMPARE(total.value(QStringLiteral("bytes")).toInteger(), bytes);
        QVERIFY(total.value(QStringLiteral("predictedMs")).toDouble() > 0);

        // --raw belongs to a dry run.
        QCOMPARE(VexaRun::Of(work, data,
                             {QStringLiteral("read-id"), QStringLiteral("--model"), QStringLiteral("P13"),
                              QStringLiteral("--raw"), QDir(work).filePath(QStringLiteral("x.bin"))})
                     .exit,
                 2);
    }

private:
    std::unique_ptr<QTemporaryDir> dir;
    QString work;
    QString data;
};

QTEST_MAIN(TestDryRun)
#include "tst_dryrun.moc"
