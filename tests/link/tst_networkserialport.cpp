// Network port names, the Telnet side of RFC 2217 and the line model of a network port.

#include "link/NetworkAddress.h"
#include "link/NetworkSerialPort.h"
#include "link/PosixSerialPort.h"
#include "link/SignLink.h"
#include "link/TelnetCodec.h"

#include <QDir>
#include <QElapsedTimer>
#include <QTest>
#include <atomic>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

using namespace vexa;

namespace {

QByteArray Bytes(std::initializer_list<int> values) {
    QByteArray out;
    for (int v : values)
        out.append(static_cast<char>(v));
    return out;
}

// A listening socket on 127.0.0.1 whose connections the test accepts and closes.
struct Listener {
    int fd = -1;
    int port = 0;
    Listener() {
        fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 && ::listen(fd, 2) == 0 &&
            ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0)
            port = ntohs(address.sin_port);
    }
    ~Listener() { ::close(fd); }
    int Accept() const { return ::accept(fd, nullptr, nullptr); }
};

// A server that agrees to COM port control (and, when told, confirms the baud rate), then
// sends Telnet option requests without end and never reads, until the test is over.
struct FloodServer {
    Listener listener;
    std::atomic<bool> stop{false};
    std::thread thread;
    explicit FloodServer(bool confirmBaud) {
        thread = std::thread([this, confirmBaud] {
            const int peer = listener.Accept();
            QByteArray greeting = Bytes({255, 253, 44, 255, 251, 0, 255, 253, 0});
            if (confirmBaud)
                greeting += Bytes({255, 250, 44, 101, 0, 0, 0x4B, 0, 255, 240});
            ::send(peer, greeting.constData(), static_cast<size_t>(greeting.size()), MSG_NOSIGNAL);
            QByteArray flood; // every option but COM port control itself, asked for and taken back
            for (int option = 0; option < 256; ++option)
                if (option != TelnetCodec::OptionComPort)
                    flood += Bytes({255, 253, option, 255, 251, option, 255, 252, option, 255, 254, option});
            while (!stop) {
                pollfd out{peer, POLLOUT, 0};
                if (::poll(&out, 1, 50) > 0)
                    ::send(peer, flood.constData(), static_cast<size_t>(flood.size()),
                           MSG_NOSIGNAL | MSG_DONTWAIT);
            }
            ::close(peer);
        });
    }
    ~FloodServer() {
        stop = true;
        thread.join();
    }
};

} // namespace

class TestNetworkSerialPort : public QObject {
    Q_OBJECT
private slots:
    void namesAreParsedStrictly_data();
    void namesAreParsedStrictly();
    void telnetDataKeepsEveryByte();
    void telnetAnswersTheServerOnceAndKeepsItsBaud();
    void outputCountModelsTheLineAtTheBaudRate();
    void optionFloodIsBounded();
    void closedConnectionIsAPortError();
    void engineSwitchesPortKindsByName();
};

void TestNetworkSerialPort::namesAreParsedStrictly_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<QString>("host");
    QTest::addColumn<int>("port");
    QTest::addColumn<bool>("rfc2217");
    QTest::newRow("raw") << "tcp://127.0.0.1:4001" << true << "127.0.0.1" << 4001 << false;
    QTest::newRow("rfc2217, any case") << " RFC2217://signbox:65535 " << true << "signbox" << 65535 << true;
    QTest::newRow("IPv6") << "tcp://[::1]:7" << true << "::1" << 7 << false;
    QTest::newRow("no port") << "tcp://host" << false << "" << 0 << false;
    QTest::newRow("port 0") << "tcp://host:0" << false << "" << 0 << false;
    QTest::newRow("port too big") << "tcp://host:65536" << false << "" << 0 << false;
    QTest::newRow("signed port") << "tcp://host:+80" << false << "" << 0 << false;
    QTest::newRow("path after the port") << "tcp://host:80/x" << false << "" << 0 << false;
    QTest::newRow("bare IPv6") << "tcp://::1:80" << false << "" << 0 << false;
    QTest::newRow("no host") << "rfc2217://:80" << false << "" << 0 << false;
    QTest::newRow("a device") << "/dev/ttyUSB0" << false << "" << 0 << false;
}

void TestNetworkSerialPort::namesAreParsedStrictly() {
    QFETCH(QString, name);
    QFETCH(bool, valid);
    const std::optional<NetworkAddress> address = NetworkAddress::Parse(name);
    QCOMPARE(address.has_value(), valid);
    if (!valid)
        return;
    QFETCH(QString, host);
    QFETCH(int, port);
    QFETCH(bool, rfc2217);
    QCOMPARE(address->host, host);
    QCOMPARE(address->port, port);
    QCOMPARE(address->protocol == NetworkAddress::Protocol::Rfc2217, rfc2217);
    QCOMPARE(NetworkAddress::Parse(address->ToString()), address);
}

// 0xFF goes out doubled and comes back undoubled, also when a chunk ends between the two;
// a notification inside the data is taken out of it.
void TestNetworkSerialPort::telnetDataKeepsEveryByte() {
    QCOMPARE(TelnetCodec::Escape(Bytes({1, 0xFF, 0x0D, 0, 0xFF})),
             Bytes({1, 0xFF, 0xFF, 0x0D, 0, 0xFF, 0xFF}));
    TelnetCodec codec;
    QByteArray data = codec.Feed(Bytes({0x55, 0xFF})).data;
    data += codec.Feed(Bytes({0xFF, 0x0D, 0xFF, 250, 44, 106, 0x60, 0xFF, 240, 0xAA})).data;
    QCOMPARE(data, Bytes({0x55, 0xFF, 0x0D, 0xAA}));
}

void TestNetworkSerialPort::telnetAnswersTheServerOnceAndKeepsItsBaud() {
    TelnetCodec codec;
    // What ser2net says on a new connection, after our greeting.
    const QByteArray greeting =
        Bytes({255, 251, 3, 255, 253, 3, 255, 251, 1, 255, 254, 1, 255, 253, 0, 255, 251, 0, 255, 253, 44});
    const TelnetCodec::Decoded first = codec.Feed(greeting);
    QVERIFY(first.data.isEmpty());
    QCOMPARE(first.answer, Bytes({255, 253, 3, 255, 251, 3, 255, 254, 1}));
    QVERIFY(codec.ComPortAccepted());
    // Acknowledgements of what is already agreed are not answered again.
    QVERIFY(codec.Feed(Bytes({255, 251, 3, 255, 253, 3, 255, 253, 0, 255, 253, 44})).answer.isEmpty());
    QVERIFY(!codec.ServerBaud());
    codec.Feed(Bytes({255, 250, 44, 101, 0, 0, 0x4B, 0, 255, 240}));
    QCOMPARE(codec.ServerBaud(), std::optional<int>(19200));
    QCOMPARE(TelnetCodec::ComPortSettings(*SerialSettings::Parse(QStringLiteral("19200,n,8,1"))).left(10),
             Bytes({255, 250, 44, 1, 0, 0, 0x4B, 0, 255, 240}));
}

// A server flooding Telnet option requests holds neither the opening beyond its limit nor
// any later call beyond one bounded read, and gets each request answered once.
void TestNetworkSerialPort::optionFloodIsBounded() {
    TelnetCodec codec;
    QByteArray requests;
    for (int round = 0; round < 100; ++round)
        for (int option = 0; option < 256; ++option)
            requests += Bytes({255, 253, option, 255, 251, option, 255, 252, option, 255, 254, option});
    QVERIFY(codec.Feed(requests).answer.size() <= 4 * 256 * 3);

    for (const bool confirmBaud : {false, true}) {
        FloodServer server(confirmBaud);
        NetworkSerialPort port;
        port.SetPortName(QStringLiteral("rfc2217://127.0.0.1:%1").arg(server.listener.port));
        QVERIFY(port.SetSettings(QStringLiteral("19200,n,8,1")));
        QElapsedTimer clock;
        clock.start();
        const bool opened = port.Open();
        QCOMPARE(opened, confirmBaud);
        QVERIFY2(clock.elapsed() < NetworkSerialPort::NegotiationLimitMs + 2000,
                 qPrintable(QString::number(clock.elapsed())));
        if (!opened)
            continue;
        clock.restart();
        QVERIFY(port.Write(QByteArray(16, 'x')));
        QVERIFY(port.InputWaiting() >= 0);
        QVERIFY2(clock.elapsed() < 2000, qPrintable(QString::number(clock.elapsed())));
        port.Close();
    }
}

// 480 bytes at 4800 baud (8N1) take one second on the server's line: the count starts near
// 480 and reaches 0 only after that second, though the socket took the bytes at once.
void TestNetworkSerialPort::outputCountModelsTheLineAtTheBaudRate() {
    Listener listener;
    QVERIFY(listener.port > 0);
    NetworkSerialPort port;
    port.SetPortName(QStringLiteral("tcp://127.0.0.1:%1").arg(listener.port));
    QVERIFY(port.SetSettings(QStringLiteral("4800,n,8,1")));
    QVERIFY2(port.Open(), qPrintable(port.ErrorString()));
    const int peer = listener.Accept();
    QVERIFY(peer >= 0);
    QElapsedTimer clock;
    clock.start();
    QVERIFY(port.Write(QByteArray(480, 'x')));
    const int first = port.OutputWaiting();
    QVERIFY2(first > 430 && first <= 480, qPrintable(QString::number(first)));
    while (port.OutputWaiting() > 0 && clock.elapsed() < 3000)
        QTest::qWait(10);
    QVERIFY2(clock.elapsed() >= 950 && clock.elapsed() < 1500, qPrintable(QString::number(clock.elapsed())));
    ::close(peer);
}

void TestNetworkSerialPort::closedConnectionIsAPortError() {
    Listener listener;
    NetworkSerialPort port;
    const QString name = QStringLiteral("tcp://127.0.0.1:%1").arg(listener.port);
    port.SetPortName(name);
    QVERIFY(port.Open());
    ::close(listener.Accept());
    QTRY_COMPARE_WITH_TIMEOUT(port.OutputWaiting(), -1, 2000);
    QVERIFY(!port.IsOpen());
    QCOMPARE(port.ErrorString(), name + QStringLiteral(": the server closed the connection"));
    QVERIFY(port.Open()); // the next operation connects afresh
    ::close(listener.Accept());
}

// The engine's own port follows the name's kind and keeps the model's settings.
void TestNetworkSerialPort::engineSwitchesPortKindsByName() {
    SignLink link;
    link.SetLogFolder(QDir::tempPath());
    link.ApplyModel(QStringLiteral("P30"));
    link.SetPortName(QStringLiteral("rfc2217://127.0.0.1:4002"));
    QVERIFY(qobject_cast<NetworkSerialPort*>(link.Port()));
    QCOMPARE(link.Port()->PortName(), QStringLiteral("rfc2217://127.0.0.1:4002"));
    QCOMPARE(link.Port()->Settings(), link.PortSettings());
    link.SetPortName(QStringLiteral("ttyUSB3"));
    QVERIFY(qobject_cast<PosixSerialPort*>(link.Port()));
    QCOMPARE(link.Port()->PortName(), QStringLiteral("/dev/ttyUSB3"));
    QCOMPARE(link.Port()->Settings(), link.PortSettings());
}

QTEST_GUILESS_MAIN(TestNetworkSerialPort)
#include "tst_networkserialport.moc"
