// The duration a dry run predicts against a real send to a simulated sign on a
// pseudo-terminal: the time between the first and the last frame arriving at the sign.

#include "store/AppPaths.h"
#include "store/CIdList.h"
#include "support/SimProcess.h"
#include "support/VexaRun.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>

using namespace vexa;
using namespace vexa::test;

namespace {

QString LongText(const QString& words) {
    return QStringLiteral("{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}{\\colortbl;\\red255\\green0\\blue0;}"
                          "\\f0\\cf1\\fs24 %1\\par}")
        .arg(words);
}

struct Prediction {
    double lastFrameMs = 0; // when the last frame starts
    double totalMs = 0;
    int pages = 0; // page frames of every message
};

Prediction Predict(const QString& out) {
    const QJsonObject plan = QJsonDocument::fromJson(out.toUtf8()).object();
    Prediction p;
    p.totalMs =
        plan.value(QStringLiteral("total")).toObject().value(QStringLiteral("predictedMs")).toDouble();
    for (const QJsonValue& part : plan.value(QStringLiteral("parts")).toArray())
        for (const QJsonValue& frame : part.toObject().value(QStringLiteral("frames")).toArray()) {
            const QJsonObject f = frame.toObject();
            if (f.value(QStringLiteral("length")).toInt() > 0)
                p.lastFrameMs = f.value(QStringLiteral("startMs")).toDouble();
            if (f.value(QStringLiteral("label")).toString().contains(QStringLiteral(" page ")))
                ++p.pages;
        }
    return p;
}

// Milliseconds from the first to the last chunk the sign received.
qint64 MeasuredSpan(SimProcess& sim) {
    const QList<SimProcess::Chunk> chunks = sim.Chunks();
    return chunks.isEmpty() ? -1 : chunks.back().t - chunks.front().t;
}

} // namespace

class TestSendDuration : public QObject {
    Q_OBJECT
private slots:
    void init() {
        dir = std::make_unique<QTemporaryDir>();
        work = dir->path();
        data = dir->filePath(QStringLiteral("data"));
        QDir().mkpath(data);
    }

    void multiPageP30Send() {
        const QString file = VexaRun::NewMessageFile(
            work, data, QDir(work).filePath(QStringLiteral("p30.led")), QStringLiteral("P30"),
            LongText(QStringLiteral("Welcome to platform three")));
        QVERIFY(!file.isEmpty());
        const QStringList send{QStringLiteral("send"), file, QStringLiteral("--model"),
                               QStringLiteral("P30")};
        const VexaRun dry = VexaRun::Of(work, data, send + QStringList{"--dry-run", "--json"});
        QCOMPARE(dry.exit, 0);
        const Prediction predicted = Predict(dry.out);
        QVERIFY2(predicted.pages >= 2, "the message must take several pages");

        SimProcess sim(QStringLiteral("P30"));
        QVERIFY2(!sim.device.isEmpty(), "vexa-sim did not start");
        const VexaRun sent = VexaRun::Of(work, data, send + QStringList{"--port", sim.device});
        QCOMPARE(sent.exit, 0);
        sim.WaitQuiet(300, 5000);
        Check(MeasuredSpan(sim), predicted, sent.ms);
    }

    void chainOfP26Signs() {
        const AppPaths paths(data, data);
        QVERIFY(QDir().mkpath(paths.WorkDataDir()));
        CIdList list(paths.IdListPath());
        const QStringList words{QStringLiteral("Platform three: the 9:41 to Harbour"),
                                QStringLiteral("Gate 7 opens at noon today"),
                                QStringLiteral("Mind the step when leaving")};
        for (int i = 0; i < words.size(); ++i) {
            const int id = 2 + 3 * i;
            QVERIFY(!VexaRun::NewMessageFile(work, data, paths.WorkFilePath(id), QStringLiteral("P26"),
                                             LongText(words[i]))
                         .isEmpty());
            CIdList::Entry& entry = list.entries[static_cast<size_t>(id)];
            entry.name = QStringLiteral("LED");
            entry.groupMask = 1;
            entry.checkMask = 1;
        }
        QVERIFY(list.SaveIdList());
        const QStringList send{QStringLiteral("send"), QStringLiteral("--485"), QStringLiteral("--model"),
                               QStringLiteral("P26")};
        const VexaRun dry = VexaRun::Of(work, data, send + QStringList{"--dry-run", "--json"});
        QCOMPARE(dry.exit, 0);
        const Prediction predicted = Predict(dry.out);

        SimProcess sim(QStringLiteral("P26"), {QStringLiteral("--ids"), QStringLiteral("2,5,8")});
        QVERIFY2(!sim.device.isEmpty(), "vexa-sim did not start");
        const VexaRun sent = VexaRun::Of(work, data, send + QStringList{"--port", sim.device});
        QCOMPARE(sent.exit, 0);
        sim.WaitQuiet(300, 5000);
        Check(MeasuredSpan(sim), predicted, sent.ms);
    }

private:
    // Within 10 % on the line; the whole run cannot be quicker than predicted.
    static void Check(qint64 measured, const Prediction& predicted, qint64 runMs) {
        const QString figures = QStringLiteral("measured %1 ms, predicted %2 ms; run %3 ms, predicted %4 ms")
                                    .arg(measured)
                                    .arg(predicted.lastFrameMs)
                                    .arg(runMs)
                                    .arg(predicted.totalMs);
        qInfo().noquote() << figures;
        QVERIFY2(measured > 0, qPrintable(figures));
        QVERIFY2(std::abs(static_cast<double>(measured) - predicted.lastFrameMs) <=
                     0.1 * predicted.lastFrameMs,
                 qPrintable(figures));
        QVERIFY2(static_cast<double>(runMs) >= 0.9 * predicted.totalMs, qPrintable(figures));
    }

    std::unique_ptr<QTemporaryDir> dir;
    QString work;
    QString data;
};

QTEST_MAIN(TestSendDuration)
#include "tst_sendduration.moc"
