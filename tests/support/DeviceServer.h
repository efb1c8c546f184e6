#pragma once

// A serial device server for tests: a real ser2net on 127.0.0.1 bridging a free TCP port to
// the pseudo-terminal of a vexa-sim (support/SimProcess.h), in raw mode or with RFC 2217.
// Every process is ended when its object goes; every wait is bounded.

#include "support/SimProcess.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
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
        // A start can fail on a loaded host (another test takes the free port first, or the
        // server ends at once): a few more tries, each after a short pause.
        for (int attempt = 0; attempt < 5; ++attempt) {
            if (attempt > 0)
                QTest::qWait(100 * attempt);
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
            error = QString::fromLocal8Bit(process.readAll()) +
                    (process.state() == QProcess::NotRunning
                         ? QStringLiteral(" (ser2net ended with status %1)").arg(process.exitCode())
                         : QStringLiteral(" (ser2net did not listen on port %1)").arg(port));
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
