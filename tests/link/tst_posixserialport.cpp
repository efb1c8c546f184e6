#include "link/PosixSerialPort.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <unistd.h>

using namespace vexa;

namespace {

// The controlling side of a pseudo-terminal; the port under test opens the other side.
struct Master {
    int fd = -1;
    QString slavePath;
    Master() {
        fd = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
        if (fd >= 0 && grantpt(fd) == 0 && unlockpt(fd) == 0)
            slavePath = QString::fromLocal8Bit(ptsname(fd));
    }
    ~Master() { Close(); }
    void Close() {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }
    void Send(const QByteArray& bytes) const {
        QCOMPARE(::write(fd, bytes.constData(), bytes.size()), bytes.size());
    }
    QByteArray Receive(int timeoutMs = 200) const {
        QByteArray got;
        pollfd p{fd, POLLIN, 0};
        while (::poll(&p, 1, timeoutMs) > 0) {
            char chunk[4096];
            const ssize_t n = ::read(fd, chunk, sizeof chunk);
            if (n <= 0)
                break;
            got.append(chunk, n);
        }
        return got;
    }
};

} // namespace

class TestPosixSerialPort : public QObject {
    Q_OBJECT
private slots:
    void settingsStrings();
    void openFailuresKeepTheErrorCode();
    void bytesPassUnchangedBothWays();
    void partialWriteIsFinishedNotDropped();
    void outputCountFollowsTheLine();
    void readTakesAtMost1024Bytes();
    void receiveNotificationArrivesInTheOwnerThread();
    void hangupOfTheOtherSideIsAPortError();
};

void TestPosixSerialPort::settingsStrings() {
    PosixSerialPort port;
    QCOMPARE(port.Settings(), QStringLiteral("1200,n,8,1"));
    for (const char* s : {"4800,n,8,1", "9600,n,8,1", "19200,n,8,1", "1200,n,8,1"}) {
        QVERIFY(port.SetSettings(QString::fromLatin1(s)));
        QCOMPARE(port.Settings(), QString::fromLatin1(s));
    }
    for (const char* s : {"", "9600", "9600,x,8,1", "9600,n,9,1", "9600,n,8,3", "12345,n,8,1", "abc,n,8,1"})
        QVERIFY2(!port.SetSettings(QString::fromLatin1(s)), s);
    QCOMPARE(port.Settings(), QStringLiteral("1200,n,8,1"));
    QCOMPARE(PosixSerialPort::DevicePath(QStringLiteral("ttyUSB0")), QStringLiteral("/dev/ttyUSB0"));
    QCOMPARE(PosixSerialPort::DevicePath(QStringLiteral("/dev/pts/3")), QStringLiteral("/dev/pts/3"));
}

void TestPosixSerialPort::openFailuresKeepTheErrorCode() {
    QTemporaryDir dir;
    PosixSerialPort port;
    port.SetPortName(dir.filePath(QStringLiteral("missing")));
    QVERIFY(!port.Open());
    QCOMPARE(port.LastError(), ENOENT);
    QVERIFY(!port.IsOpen());
    QCOMPARE(port.OutputWaiting(), -1);
    QVERIFY(!port.Write("x"));

    QFile plain(dir.filePath(QStringLiteral("plain")));
    QVERIFY(plain.open(QIODevice::WriteOnly));
    plain.close();
    port.SetPortName(plain.fileName());
    QVERIFY(!port.Open()); // not a terminal
    QCOMPARE(port.LastError(), ENOTTY);
}

void TestPosixSerialPort::bytesPassUnchangedBothWays() {
    Master master;
    QVERIFY(!master.slavePath.isEmpty());
    PosixSerialPort port;
    port.SetPortName(master.slavePath);
    QVERIFY(port.SetSettings(QStringLiteral("19200,n,8,1")));
    QVERIFY(port.Open());
    // Control characters a cooked terminal would act on: CR, LF, ^C, XON/XOFF, DEL, 0xFF.
    const QByteArray raw = QByteArray::fromHex("0D0A031113117FFF00AA55");
    QVERIFY(port.Write(raw));
    QTRY_COMPARE(port.OutputWaiting(), 0);
    QCOMPARE(master.Receive(), raw);
    master.Send(raw);
    QTRY_COMPARE(port.InputWaiting(), raw.size());
    QCOMPARE(port.ReadPending(), raw);
    QCOMPARE(port.InputWaiting(), 0);
    QVERIFY(port.Close());
    QVERIFY(!port.IsOpen());
}

void TestPosixSerialPort::partialWriteIsFinishedNotDropped() {
    Master master;
    PosixSerialPort port;
    port.SetPortName(master.slavePath);
    QVERIFY(port.Open());
    QByteArray block(64 * 1024, Qt::Uninitialized);
    for (int i = 0; i < block.size(); ++i)
        block[i] = static_cast<char>(i * 7 + i / 256);
    QVERIFY(port.Write(block));
    QVERIFY(port.OutputWaiting() > 0); // the terminal took only part of it
    QVERIFY(port.Write("END"));
    // Every count of the output pushes the rest on (the line at 1200 baud would still be
    // busy for minutes, so the count itself stays above 0 meanwhile).
    QByteArray received;
    for (int round = 0; round < 1000 && received.size() < block.size() + 3; ++round) {
        QVERIFY(port.OutputWaiting() > 0);
        received += master.Receive(10);
    }
    QCOMPARE(received.size(), block.size() + 3);
    QVERIFY(received == block + "END");
}

// A pseudo-terminal takes everything at once; the count still follows the line at its baud
// rate, so the pauses after a frame hold at the sign.
void TestPosixSerialPort::outputCountFollowsTheLine() {
    Master master;
    PosixSerialPort port;
    port.SetPortName(master.slavePath);
    QVERIFY(port.SetSettings(QStringLiteral("9600,n,8,1")));
    QVERIFY(port.Open());
    QElapsedTimer clock;
    clock.start();
    QVERIFY(port.Write(QByteArray(192, 'x'))); // 200 ms on the line
    QVERIFY(port.OutputWaiting() > 150);
    QCOMPARE(master.Receive(50).size(), 192);
    QTRY_COMPARE_WITH_TIMEOUT(port.OutputWaiting(), 0, 2000);
    QVERIFY2(clock.elapsed() >= 190, qPrintable(QString::number(clock.elapsed())));
}

void TestPosixSerialPort::readTakesAtMost1024Bytes() {
    Master master;
    PosixSerialPort port;
    port.SetPortName(master.slavePath);
    QVERIFY(port.Open());
    master.Send(QByteArray(1500, '\x5A'));
    QTRY_COMPARE(port.InputWaiting(), 1500);
    QCOMPARE(port.ReadPending().size(), 1024);
    QCOMPARE(port.ReadPending().size(), 476);
    QCOMPARE(port.ReadPending().size(), 0);
    master.Send("abc");
    QTRY_COMPARE(port.InputWaiting(), 3);
    port.DiscardInput();
    QCOMPARE(port.InputWaiting(), 0);
}

void TestPosixSerialPort::receiveNotificationArrivesInTheOwnerThread() {
    Master master;
    PosixSerialPort port;
    port.SetPortName(master.slavePath);
    port.SetReceiveNotification(true);
    QVERIFY(port.Open());
    QByteArray got;
    QObject receiver;
    QObject::connect(&port, &CSerialPort::readyRead, &receiver, [&] {
        QCOMPARE(QThread::currentThread(), receiver.thread());
        got += port.ReadPending();
    });
    master.Send("first");
    QTRY_COMPARE(got, QByteArray("first"));
    master.Send("second");
    QTRY_COMPARE(got, QByteArray("firstsecond"));
    // Reopening keeps notifying.
    QVERIFY(port.Close());
    QVERIFY(port.Open());
    master.Send("third");
    QTRY_COMPARE(got, QByteArray("firstsecondthird"));
    port.SetReceiveNotification(false);
    master.Send("fourth");
    QTest::qWait(200);
    QCOMPARE(got, QByteArray("firstsecondthird"));
}

void TestPosixSerialPort::hangupOfTheOtherSideIsAPortError() {
    Master master;
    PosixSerialPort port;
    port.SetPortName(master.slavePath);
    QVERIFY(port.Open());
    master.Close();
    const bool written = port.Write(QByteArray(16, 'x'));
    QVERIFY(!written || port.OutputWaiting() < 0);
    QVERIFY(port.LastError() != 0);
}

QTEST_GUILESS_MAIN(TestPosixSerialPort)
#include "tst_posixserialport.moc"
