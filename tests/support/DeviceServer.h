#pragma once

// A serial device server for tests: a real ser2net on 127.0.0.1 bridging a free TCP port to
// the pseudo-terminal of a vexa-sim, in raw mode or with RFC 2217. Every process is ended
// when its object goes; every wait is bounded.

#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QList>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTest>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace vexa::test {

inline const QString kSer2net = QStringLiteral("/usr/sbin/ser2net");

// A TCP port on 127.0.0.1 that was free a moment ago.
inline int FreeLoopbackPort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    int port = 0;
    if (fd >= 0 && ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0)
        port = ntohs(address.sin_port);
    if (fd >= 0)
        ::close(fd);
    return port;
}

// True when something listens on 127.0.0.1:port (read from /proc, so nothing connects).
inline bool IsListening(int port) {
    QFile table(QStringLiteral("/proc/net/tcp"));
    if (!table.open(QIODevice::ReadOnly))
        return false;
    const QByteArray local =
        QByteArrayLiteral("0100007F:") + QByteArray::number(port, 16).toUpper().rightJustified(4, '0');
    for (const QByteArray& line : table.readAll().split('\n')) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (fields.size() > 3 && fields.at(1) == local && fields.at(3) == "0A")
            return true;
    }
    return false;
}

// A vexa-sim printing JSON events with a trace of every chunk it receives.
class SimProcess {
public:
    struct Chunk {
        qint64 t = 0;
        QByteArray bytes;
    };

    SimProcess(const QString& model, const QStringList& extra = {}) {
        process.start(QStringLiteral(VEXA_BIN_DIR "/vexa-sim"),
                      QStringList{QStringLiteral("--model"), model, QStringLiteral("--json"),
                                  QStringLiteral("--trace")} +
                          extra);
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

// ser2net serving one pseudo-terminal on 127.0.0.1.
class Ser2net {
public:
    enum class Mode { Raw, Rfc2217 };

    // Starts ser2net for device; false (with the reason in error) when it did not come up.
    bool Start(const QString& device, Mode mode, const QString& lineSettings, const QString& folder,
               QString& error) {
        if (!QFileInfo(kSer2net).isExecutable()) {
            error = QStringLiteral("ser2net is not installed (scripts/install-deps.sh)");
            return false;
        }
        for (int attempt = 0; attempt < 3; ++attempt) {
            port = FreeLoopbackPort();
            const QString accepter = mode == Mode::Raw
                                         ? QStringLiteral("tcp,127.0.0.1,%1").arg(port)
                                         : QStringLiteral("telnet(rfc2217),tcp,127.0.0.1,%1").arg(port);
            const QString config =
                QStringLiteral("connection: &line#  accepter: %1#  connector: serialdev,%2,%3,local#"
                               "  options:#    kickolduser: true")
                    .arg(accepter, device, lineSettings);
            process.setProcessChannelMode(QProcess::MergedChannels);
            process.start(kSer2net, {QStringLiteral("-n"), QStringLiteral("-u"), QStringLiteral("-P"),
                                     folder + QStringLiteral("/ser2net.pid"), QStringLiteral("-Y"), config});
            QDeadlineTimer deadline(5000);
            while (!deadline.hasExpired() && process.state() != QProcess::NotRunning && !IsListening(port))
                QTest::qWait(20);
            if (IsListening(port) && process.state() == QProcess::Running) {
                url = (mode == Mode::Raw ? QStringLiteral("tcp://127.0.0.1:%1")
                                         : QStringLiteral("rfc2217://127.0.0.1:%1"))
                          .arg(port);
                return true;
            }
            error = QString::fromLocal8Bit(process.readAll());
            Stop();
        }
        return false;
    }
    void Kill() {
        process.kill();
        process.waitForFinished(3000);
    }
    void Stop() {
        if (process.state() == QProcess::NotRunning)
            return;
        process.terminate();
        if (!process.waitForFinished(3000))
            Kill();
    }
    ~Ser2net() { Stop(); }

    int port = 0;
    QString url;

private:
    QProcess process;
};

} // namespace vexa::test
