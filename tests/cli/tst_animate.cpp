// `vexa render --animate` and `vexa-sim --render --animate`: the animated pictures are read
// back by decoders nobody on the project wrote (Pillow, ImageMagick, ffprobe where
// installed) with the frame counts and durations the JSON lists, and what the simulator
// plays from the bytes it received is the very file the editor's playback writes.
#include "support/SimProcess.h"
#include "support/VexaRun.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace vexa::test;

namespace {

const QString kSystemPython = QStringLiteral("/usr/bin/python3");

// Frame count and durations (ms) as Pillow reads them, one "count d1 d2 ..." line.
const char* const kPillowScript = R"(import sys
from PIL import Image
im = Image.open(sys.argv[1])
n = getattr(im, "n_frames", 1)
d = []
for i in range(n):
    im.seek(i)
    im.load()
    d.append(str(int(im.info.get("duration", 0))))
print(n, " ".join(d))
)";

QStringList RunTool(const QString& program, const QStringList& args) {
    QProcess process;
    process.start(program, args);
    if (!process.waitForFinished(60000) || process.exitCode() != 0)
        return {QStringLiteral("failed: ") + QString::fromUtf8(process.readAllStandardError())};
    return QString::fromUtf8(process.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
}

QString Rtf(const QString& text) {
    return QStringLiteral(
               "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fnil Arial;}}{\\colortbl ;\\red255\\green255\\blue0;}"
               "\\pard\\cf1\\f0\\fs32 %1\\par}")
        .arg(text);
}

QByteArray ReadBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestAnimate : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    QString work, data;

    VexaRun Vexa(const QStringList& args) { return VexaRun::Of(work, data, args); }

    // A message file of model whose row 1 holds content, sent, with the given fields.
    QString MessageFile(const QString& model, const QString& content, const QStringList& fields) {
        const QString path = dir.filePath(model + QStringLiteral(".led"));
        if (VexaRun::NewMessageFile(work, data, path, model, content).isEmpty())
            return {};
        const VexaRun set = Vexa(
            QStringList{QStringLiteral("set"), path, QStringLiteral("--row"), QStringLiteral("1")} + fields);
        return set.exit == 0 ? path : QString();
    }

    QJsonObject Animate(const QString& model, const QString& file, const QString& out,
                        const QStringList& extra) {
        const VexaRun run = Vexa(QStringList{QStringLiteral("render"), file, QStringLiteral("--model"), model,
                                             QStringLiteral("--animate"), out, QStringLiteral("--json")} +
                                 extra);
        if (run.exit != 0)
            qWarning() << run.err;
        return QJsonDocument::fromJson(run.out.toUtf8()).object();
    }

private slots:
    void initTestCase() {
        QVERIFY(dir.isValid());
        work = dir.path();
        data = dir.filePath(QStringLiteral("data"));
        QDir().mkpath(data);
    }

    void picturesDecodeWithTheFramesListed() {
        const QString file = MessageFile(QStringLiteral("P30"), Rtf(QStringLiteral("Platform 9")),
                                         {QStringLiteral("--effect"), QStringLiteral("3"), // Up
                                          QStringLiteral("--time"), QStringLiteral("1"),
                                          QStringLiteral("--marquee"), QStringLiteral("1")});
        QVERIFY(!file.isEmpty());
        const QJsonObject listed =
            Animate(QStringLiteral("P30"), file, dir.filePath(QStringLiteral("up.png")), {});
        const QJsonArray frames = listed[QStringLiteral("frames")].toArray();
        QVERIFY(frames.size() > 20);
        QStringList durations;
        qint64 total = 0;
        for (const QJsonValue& frame : frames) {
            QCOMPARE(frame[QStringLiteral("row")].toInt(), 1);
            durations << QString::number(frame[QStringLiteral("durationMs")].toInt());
            total += frame[QStringLiteral("durationMs")].toInt();
        }
        QCOMPARE(listed[QStringLiteral("durationMs")].toInteger(), total);
        QCOMPARE(listed[QStringLiteral("sign")][QStringLiteral("columns")].toInt(), 64);
        const QString expected = QString::number(frames.size()) + u' ' + durations.join(u' ');

        const bool havePillow =
            RunTool(kSystemPython, {QStringLiteral("-c"), QStringLiteral("import PIL")}).isEmpty();
        if (!havePillow)
            QSKIP("Pillow (python3-pil, installed by scripts/install-deps.sh) is missing");
        const auto pillow = [&](const QString& path) {
            return RunTool(kSystemPython, {QStringLiteral("-c"), QString::fromLatin1(kPillowScript), path})
                .join(u'\n');
        };
        QCOMPARE(pillow(dir.filePath(QStringLiteral("up.png"))), expected);

        // GIF: the same frames; ImageMagick reads delays in hundredths of a second.
        QCOMPARE(Animate(QStringLiteral("P30"), file, dir.filePath(QStringLiteral("up.gif")),
                         {})[QStringLiteral("frames")]
                     .toArray()
                     .size(),
                 frames.size());
        QCOMPARE(pillow(dir.filePath(QStringLiteral("up.gif"))), expected);
        QStringList centiseconds;
        for (const QString& ms : std::as_const(durations))
            centiseconds << QString::number(ms.toInt() / 10);
        QCOMPARE(RunTool(QStringLiteral("identify"), {QStringLiteral("-format"), QStringLiteral("%T\\n"),
                                                      dir.filePath(QStringLiteral("up.gif"))}),
                 centiseconds);

        // WebP, where Qt's plugins write it.
        const QJsonObject webp =
            Animate(QStringLiteral("P30"), file, dir.filePath(QStringLiteral("up.webp")), {});
        if (!webp.isEmpty()) {
            QCOMPARE(pillow(dir.filePath(QStringLiteral("up.webp"))), expected);
            QCOMPARE(RunTool(QStringLiteral("identify"), {dir.filePath(QStringLiteral("up.webp"))}).size(),
                     frames.size());
        }
        const QString ffprobe = QStandardPaths::findExecutable(QStringLiteral("ffprobe"));
        if (!ffprobe.isEmpty()) {
            QCOMPARE(RunTool(ffprobe, {QStringLiteral("-v"), QStringLiteral("error"),
                                       QStringLiteral("-count_frames"), QStringLiteral("-show_entries"),
                                       QStringLiteral("stream=nb_read_frames"), QStringLiteral("-of"),
                                       QStringLiteral("csv=p=0"), dir.filePath(QStringLiteral("up.gif"))}),
                     QStringList{QString::number(frames.size())});
        }
    }

    void programmePlaysTheTickedRowsInOrder() {
        const QString file =
            MessageFile(QStringLiteral("P01"), QStringLiteral("[ASCII]AB"),
                        {QStringLiteral("--effect"), QStringLiteral("4"), QStringLiteral("--time"),
                         QStringLiteral("2")}); // Fix, 2 s: not sent to these signs
        QVERIFY(!file.isEmpty());
        QCOMPARE(Vexa({QStringLiteral("set"), file, QStringLiteral("--row"), QStringLiteral("3"),
                       QStringLiteral("--content"), QStringLiteral("[ASCII]CD"), QStringLiteral("--kind"),
                       QStringLiteral("text"), QStringLiteral("--send"), QStringLiteral("1"),
                       QStringLiteral("--effect"), QStringLiteral("4")})
                     .exit,
                 0);
        const QJsonObject listed =
            Animate(QStringLiteral("P01"), file, dir.filePath(QStringLiteral("all.gif")),
                    {QStringLiteral("--sign-width"), QStringLiteral("16"), QStringLiteral("--loops"),
                     QStringLiteral("2")});
        QStringList shown;
        for (const QJsonValue& frame : listed[QStringLiteral("frames")].toArray())
            shown << QStringLiteral("%1:%2")
                         .arg(frame[QStringLiteral("row")].toInt())
                         .arg(frame[QStringLiteral("durationMs")].toInt());
        QCOMPARE(shown, QStringList({"1:1000", "3:1000"})); // the time of row 1 never reaches a P01
        QCOMPARE(listed[QStringLiteral("warnings")].toArray().size(), 1);
        QVERIFY(listed[QStringLiteral("warnings")][0].toString().startsWith(QStringLiteral("Row 1:")));
        QCOMPARE(listed[QStringLiteral("sign")][QStringLiteral("columns")].toInt(), 16);

        const VexaRun fixed =
            Vexa({QStringLiteral("render"), file, QStringLiteral("--model"), QStringLiteral("P30"),
                  QStringLiteral("--animate"), dir.filePath(QStringLiteral("x.png")),
                  QStringLiteral("--sign-width"), QStringLiteral("80")});
        QCOMPARE(fixed.exit, 2); // a P30 is 64 columns wide
        QCOMPARE(Vexa({QStringLiteral("render"), file, QStringLiteral("--model"), QStringLiteral("P01"),
                       QStringLiteral("--animate"), dir.filePath(QStringLiteral("x.bmp"))})
                     .exit,
                 2);
    }

    // The simulator plays from the bytes and parameters it decoded; the editor's playback
    // from the exported frames and the row. Their files are the same byte for byte.
    void simulatorShowsWhatTheEditorPlays_data() {
        QTest::addColumn<QString>("model");
        QTest::addColumn<QString>("content");
        QTest::addColumn<QStringList>("fields");
        QTest::newRow("P01 animation, marquee, blink")
            << QStringLiteral("P01") << QStringLiteral("[ASCII]AB[GIF_063]C")
            << QStringList{"--effect", "5", "--speed", "6", "--marquee", "1", "--blink", "1", "--time", "1"};
        QTest::newRow("P26 left, held pages")
            << QStringLiteral("P26") << Rtf(QStringLiteral("Platform nine and three quarters"))
            << QStringList{"--effect", "1", "--speed", "7", "--time", "1", "--marquee", "1"};
    }
    void simulatorShowsWhatTheEditorPlays() {
        QFETCH(QString, model);
        QFETCH(QString, content);
        QFETCH(QStringList, fields);
        const QString file = MessageFile(model, content, fields);
        QVERIFY(!file.isEmpty());
        const QString played = dir.filePath(model + QStringLiteral("-editor.png"));
        QVERIFY(!Animate(model, file, played, {QStringLiteral("--row"), QStringLiteral("1")}).isEmpty());

        const QString rendered = dir.filePath(model + QStringLiteral("-sign"));
        SimProcess sim(model, {QStringLiteral("--render"), rendered, QStringLiteral("--animate")},
                       SimProcess::Trace::Off);
        QVERIFY2(!sim.device.isEmpty(), "vexa-sim did not start");
        const VexaRun sent = Vexa({QStringLiteral("send"), file, QStringLiteral("--model"), model,
                                   QStringLiteral("--port"), sim.device});
        QCOMPARE(sent.exit, 0);
        sim.WaitQuiet();
        const QString stem =
            model == QLatin1String("P26") ? QStringLiteral("id1-slot1") : QStringLiteral("slot1");
        const QList<QJsonObject> animated = sim.Events(QStringLiteral("animated"));
        QVERIFY(!animated.isEmpty());
        QVERIFY(animated.back()[QStringLiteral("ok")].toBool());
        const QByteArray sign = ReadBytes(QDir(rendered).filePath(stem + QStringLiteral("-play.png")));
        QVERIFY(!sign.isEmpty());
        QCOMPARE(sign.size(), ReadBytes(played).size());
        QVERIFY(sign == ReadBytes(played));
    }
};

QTEST_GUILESS_MAIN(TestAnimate)
#include "tst_animate.moc"
