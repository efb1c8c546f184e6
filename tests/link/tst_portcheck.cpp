// `vexa ports --check`: each case that keeps a port from opening, reproduced on this machine.

#include "link/PortCheck.h"
#include "support/VexaRun.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <cstdlib>
#include <fcntl.h>
#include <grp.h>
#include <netinet/in.h>
#include <pwd.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

using namespace vexa;
using namespace vexa::test;

namespace {

// A pseudo-terminal whose master side this test holds; its slave is the device to check.
struct PseudoTerminal {
    int master = -1;
    QString slave;
    PseudoTerminal() {
        master = ::posix_openpt(O_RDWR | O_NOCTTY);
        // Programs this test starts must not inherit the master side: they would be the far end.
        ::fcntl(master, F_SETFD, FD_CLOEXEC);
        if (master >= 0 && ::grantpt(master) == 0 && ::unlockpt(master) == 0)
            slave = QString::fromLocal8Bit(::ptsname(master));
    }
    ~PseudoTerminal() { ::close(master); }
};

// A listening socket on the loopback address that never accepts; backlog 0 leaves room
// for one waiting connection only.
struct Listener {
    int fd = -1;
    int port = 0;
    explicit Listener(int backlog) {
        fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
            ::listen(fd, backlog) == 0 &&
            ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0)
            port = ntohs(address.sin_port);
    }
    ~Listener() { ::close(fd); }
};

int Connect(int port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<uint16_t>(port));
    ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    return fd;
}

} // namespace

class TestPortCheck : public QObject {
    Q_OBJECT
private slots:
    void init() { dir = std::make_unique<QTemporaryDir>(); }

    void missingDevice() {
        const VexaRun run = Check(dir->filePath(QStringLiteral("ttyNone")));
        QCOMPARE(run.exit, 1);
        QVERIFY2(run.err.contains(QStringLiteral(": missing")) &&
                     run.err.contains(QStringLiteral("no such device")),
                 qPrintable(run.err));
    }

    // The far end of a line (the master side of a pseudo-terminal) is no competitor; a
    // program that has the device open is, and is named.
    void deviceHeldByAnotherProcess() {
        PseudoTerminal line;
        QVERIFY(!line.slave.isEmpty());
        const VexaRun free = Check(line.slave);
        QCOMPARE(free.exit, 0);
        QVERIFY2(free.out.contains(QStringLiteral(": opens")), qPrintable(free.out + free.err));

        QProcess holder;
        holder.setStandardInputFile(line.slave);
        holder.start(QStringLiteral("sleep"), {QStringLiteral("30")});
        QVERIFY(holder.waitForStarted());
        const qint64 pid = holder.processId();
        const VexaRun busy = Check(line.slave);
        holder.kill();
        holder.waitForFinished();
        QCOMPARE(busy.exit, 1);
        QVERIFY2(busy.err.contains(QStringLiteral(": busy")) &&
                     busy.err.contains(QStringLiteral("sleep (process %1)").arg(pid)),
                 qPrintable(busy.err));
    }

    void deviceTheUserMayNotOpen() {
        if (::geteuid() != 0)
            QSKIP("making a device that an unprivileged user cannot open needs root");
        const group* dialout = ::getgrnam("dialout");
        const passwd* nobody = ::getpwnam("nobody");
        if (!dialout || !nobody)
            QSKIP("this system has no dialout group or no user nobody");
        PseudoTerminal line;
        QVERIFY(!line.slave.isEmpty());
        const QByteArray device = QFile::encodeName(line.slave);
        QVERIFY(::chown(device.constData(), 0, dialout->gr_gid) == 0);
        QVERIFY(::chmod(device.constData(), 0660) == 0);
        QProcess process;
        process.start(QStringLiteral("setpriv"),
                      {QStringLiteral("--reuid=%1").arg(nobody->pw_uid),
                       QStringLiteral("--regid=%1").arg(nobody->pw_gid), QStringLiteral("--clear-groups"),
                       QStringLiteral(VEXA_BIN_DIR "/vexa"), QStringLiteral("ports"),
                       QStringLiteral("--check"), line.slave, QStringLiteral("--model"),
                       QStringLiteral("P30")});
        const VexaRun run = VexaRun::Finish(process, 30000);
        if (run.exit == 126 || run.exit == 127)
            QSKIP("the user nobody cannot run the vexa of this build");
        QCOMPARE(run.exit, 1);
        for (const QString& expected : {QStringLiteral(": permission"), QStringLiteral("group dialout"),
                                        QStringLiteral("You (nobody) are not in group dialout"),
                                        QStringLiteral("sudo usermod -aG dialout $USER")})
            QVERIFY2(run.err.contains(expected), qPrintable(run.err));
    }

    // ModemManager runs and udev does not tell it to leave the USB adapter alone: the rule
    // that does, for the adapter's vendor and product.
    void modemManagerAndAnAdapterNotExcluded() {
        PseudoTerminal line;
        QVERIFY(!line.slave.isEmpty());
        struct stat device {};
        QVERIFY(::stat(QFile::encodeName(line.slave).constData(), &device) == 0);
        const QDir root(dir->path());
        QVERIFY(root.mkpath(QStringLiteral("proc/4242")) && root.mkpath(QStringLiteral("udev")));
        const auto write = [&](const QString& path, const QByteArray& text) {
            QFile file(root.filePath(path));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(text);
        };
        write(QStringLiteral("proc/4242/comm"), "ModemManager\n");
        write(QStringLiteral("udev/c%1:%2").arg(major(device.st_rdev)).arg(minor(device.st_rdev)),
              "E:ID_BUS=usb\nE:ID_VENDOR_ID=0403\nE:ID_MODEL_ID=6001\n");
        PortSystemView::Paths paths;
        paths.proc = root.filePath(QStringLiteral("proc"));
        paths.lockDirs = {};
        paths.udevData = root.filePath(QStringLiteral("udev"));
        paths.sysClassTty = root.filePath(QStringLiteral("sys"));
        const PortCheck::Finding finding =
            PortCheck::Check(line.slave, QStringLiteral("19200,n,8,1"), nullptr, PortSystemView(paths));
        QCOMPARE(finding.CaseName(), QStringLiteral("modemmanager"));
        QCOMPARE(
            finding.fixes.value(0),
            QStringLiteral(
                "ATTRS{idVendor}==\"0403\", ATTRS{idProduct}==\"6001\", ENV{ID_MM_DEVICE_IGNORE}=\"1\""));

        write(QStringLiteral("udev/c%1:%2").arg(major(device.st_rdev)).arg(minor(device.st_rdev)),
              "E:ID_BUS=usb\nE:ID_MM_DEVICE_IGNORE=1\n");
        QVERIFY(
            PortCheck::Check(line.slave, QStringLiteral("19200,n,8,1"), nullptr, PortSystemView(paths)).Ok());
    }

    void networkLines() {
        const VexaRun unresolved = Check(QStringLiteral("rfc2217://no-such-host.invalid:4001"));
        QCOMPARE(unresolved.exit, 1);
        QVERIFY2(unresolved.err.contains(QStringLiteral(": no-resolve")), qPrintable(unresolved.err));

        int closedPort = 0;
        {
            const Listener gone(1);
            closedPort = gone.port;
        }
        const VexaRun refused = Check(QStringLiteral("tcp://127.0.0.1:%1").arg(closedPort));
        QCOMPARE(refused.exit, 1);
        QVERIFY2(refused.err.contains(QStringLiteral(": refused")), qPrintable(refused.err));

        // Connected, but the server never speaks COM port control.
        const Listener silent(4);
        const VexaRun mute = Check(QStringLiteral("rfc2217://127.0.0.1:%1").arg(silent.port));
        QCOMPARE(mute.exit, 1);
        QVERIFY2(mute.err.contains(QStringLiteral(": no-rfc2217")) &&
                     mute.err.contains(QStringLiteral("did not answer COM port control")),
                 qPrintable(mute.err));

        // A full backlog drops the connection attempt: nothing answers within the connect time.
        const Listener full(0);
        const int first = Connect(full.port);
        const VexaRun nothing = Check(QStringLiteral("tcp://127.0.0.1:%1").arg(full.port));
        ::close(first);
        QCOMPARE(nothing.exit, 1);
        QVERIFY2(nothing.err.contains(QStringLiteral(": no-answer")), qPrintable(nothing.err));
    }

private:
    VexaRun Check(const QString& port) {
        return VexaRun::Of(dir->path(), dir->path(),
                           {QStringLiteral("ports"), QStringLiteral("--check"), port,
                            QStringLiteral("--model"), QStringLiteral("P30")});
    }

    std::unique_ptr<QTemporaryDir> dir;
};

QTEST_MAIN(TestPortCheck)
#include "tst_portcheck.moc"
