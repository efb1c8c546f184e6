#pragma once

// A simulated sign on a pseudo-terminal for the tests that drive a real line.

#include <QByteArray>
#include <QDeadlineTimer>
#include <QJsonDocument>
#include <QJsonObject>
#include <QList>
#include <QProcess>
#include <QString>
#include <QStringList>

namespace vexa::test {

// A vexa-sim printing JSON events, by default with a trace of every chunk it receives. The
// device it offers is read from its first event; it stays empty when the simulator did
// not start within 5 s.
class SimProcess {
public:
    enum class Trace { Off, On };
    struct Chunk {
        qint64 t = 0;
        QByteArray bytes;
    };

    SimProcess(const QString& model, const QStringList& extra = {}, Trace trace = Trace::On) {
        QStringList arguments{QStringLiteral("--model"), model, QStringLiteral("--json")};
        if (trace == Trace::On)
            arguments << QStringLiteral("--trace");
        process.start(QStringLiteral(VEXA_BIN_DIR "/vexa-sim"), arguments + extra);
        QDeadlineTimer deadline(5000);
        while (events.isEmpty() && !deadline.hasExpired() && process.state() != QProcess::NotRunning)
            Collect(50);
        if (!events.isEmpty())
            device = events.front().value(QStringLiteral("device")).toString();
    }
    ~SimProcess() {
        process.terminate();
        if (!process.waitForFinished(3000))
            process.kill();
        process.waitForFinished(3000);
    }
    void Collect(int waitMs = 0) {
        if (waitMs > 0)
            process.waitForReadyRead(waitMs);
        buffer += process.readAllStandardOutput();
        qsizetype end = 0;
        while ((end = buffer.indexOf('\n')) >= 0) {
            const QJsonDocument doc = QJsonDocument::fromJson(buffer.left(end));
            if (doc.isObject())
                events.append(doc.object());
            buffer.remove(0, end + 1);
        }
    }
    // Every event so far, in the order printed.
    QList<QJsonObject> All() {
        Collect();
        return events;
    }
    QList<QJsonObject> Events(const QString& kind) {
        Collect();
        QList<QJsonObject> found;
        for (const QJsonObject& e : std::as_const(events))
            if (e.value(QStringLiteral("event")).toString() == kind)
                found.append(e);
        return found;
    }
    QList<Chunk> Chunks() {
        QList<Chunk> chunks;
        for (const QJsonObject& e : Events(QStringLiteral("rx")))
            chunks.append({e.value(QStringLiteral("t")).toInteger(),
                           QByteArray::fromHex(e.value(QStringLiteral("data")).toString().toLatin1())});
        return chunks;
    }
    QByteArray Received() {
        QByteArray all;
        for (const Chunk& c : Chunks())
            all += c.bytes;
        return all;
    }
    // Waits (bounded) until no byte arrived for quietMs.
    void WaitQuiet(int quietMs = 700, int limitMs = 20000) {
        QDeadlineTimer deadline(limitMs);
        qsizetype seen = -1;
        QDeadlineTimer quiet(quietMs);
        while (!deadline.hasExpired()) {
            Collect(50);
            const qsizetype now = events.size();
            if (now != seen) {
                seen = now;
                quiet.setRemainingTime(quietMs);
            } else if (quiet.hasExpired()) {
                return;
            }
        }
    }
    void Clear() {
        Collect();
        events.clear();
    }

    QString device;

private:
    QProcess process;
    QByteArray buffer;
    QList<QJsonObject> events;
};

} // namespace vexa::test
