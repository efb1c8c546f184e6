#include "link/NetworkSerialPort.h"
#include "link/families/LinkFamilies.h"

#include <QtTest>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

using namespace vexa;

namespace {

QByteArray Hex(const char* text) {
    return QByteArray::fromHex(QByteArray(text));
}

// One running vexa-sim and the JSON events it printed.
class SimProcess {
public:
    explicit SimProcess(const QStringList& arguments) {
        process.setProgram(QStringLiteral(VEXA_BIN_DIR "/vexa-sim"));
        process.setArguments(QStringList{QStringLiteral("--json")} + arguments);
        process.start();
    }
    ~SimProcess() {
        if (fd >= 0)
            ::close(fd);
        if (process.state() != QProcess::NotRunning) {
            process.terminate();
            process.waitForFinished(3000);
        }
    }

    // The next event of a kind, or an empty object after the time-out.
    QJsonObject WaitFor(const QString& kind, int timeoutMs = 5000) {
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < timeoutMs) {
            while (process.canReadLine()) {
                const QJsonObject event = QJsonDocument::fromJson(process.readLine()).object();
                seen.push_back(event);
                if (event.value(QStringLiteral("event")).toString() == kind)
                    return event;
            }
            if (!process.waitForReadyRead(100) && process.state() == QProcess::NotRunning &&
                !process.canReadLine())
                break;
        }
        return {};
    }

    bool OpenDevice() {
        const QJsonObject ready = WaitFor(QStringLiteral("ready"));
        const QByteArray device = ready.value(QStringLiteral("device")).toString().toLocal8Bit();
        if (device.isEmpty())
            return false;
        fd = ::open(device.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        if (fd < 0)
            return false;
        termios settings{};
        tcgetattr(fd, &settings);
        cfmakeraw(&settings);
        tcsetattr(fd, TCSANOW, &settings);
        return true;
    }

    bool Write(const QByteArray& bytes) {
        return ::write(fd, bytes.constData(), size_t(bytes.size())) == bytes.size();
    }

    // Reads what the simulator answers within the time-out, stopping at size bytes.
    QByteArray Read(qsizetype size, int timeoutMs = 3000) {
        QByteArray received;
        QElapsedTimer timer;
        timer.start();
        while (received.size() < size && timer.elapsed() < timeoutMs) {
            pollfd watched{fd, POLLIN, 0};
            if (::poll(&watched, 1, 50) > 0 && (watched.revents & POLLIN)) {
                char buffer[256];
                const ssize_t got = ::read(fd, buffer, sizeof buffer);
                if (got > 0)
                    received.append(buffer, got);
            }
        }
        return received;
    }

    QProcess process;
    std::vector<QJsonObject> seen;
    int fd = -1;
};

} // namespace

class TestSimulator : public QObject {
    Q_OBJECT

private slots:
    // A family-1 send reaches the simulator byte for byte; probes, read-ID and set-ID get
    // their replies; the message is rendered.
    void decodesAndAnswersOverAPseudoTerminal() {
        QTemporaryDir renders;
        SimProcess sim({"--model", "P19", "--ids", "3,7", "--quiet-ms", "300", "--render", renders.path()});
        QVERIFY(sim.OpenDevice());

        Payload payload;
        SendInputs inputs;
        inputs.family = LinkFamily::RowDirectory;
        inputs.rows = 12;
        inputs.slotCount = 8;
        inputs.payload = &payload;
        SendInputsAccess::Slot(inputs, 2).sendFlag = 1;
        SendInputsAccess::Slot(inputs, 2).speed = 4;
        QByteArray dots(48, '\0');
        for (int line = 0; line < 12; ++line)
            dots[line * 4] = char(0x80 >> (line % 8));
        payload.At(0, 2).Assign(dots);
        for (const FrameStep& step : LinkFamilies::SendSequence(inputs))
            QVERIFY(sim.Write(step.bytes));

        const QJsonObject message = sim.WaitFor(QStringLiteral("message"));
        QCOMPARE(message.value(QStringLiteral("slot")).toInt(), 2);
        QCOMPARE(message.value(QStringLiteral("speed")).toInt(), 4);
        QCOMPARE(QByteArray::fromHex(message.value(QStringLiteral("data")).toString().toLatin1()), dots);
        const QJsonObject rendered = sim.WaitFor(QStringLiteral("rendered"));
        QVERIFY(rendered.value(QStringLiteral("ok")).toBool());
        QCOMPARE(QImage(rendered.value(QStringLiteral("path")).toString()).size(), QSize(32, 12));

        QVERIFY(sim.Write(LinkFamilies::ScanSequence()[6].bytes));
        QCOMPARE(sim.Read(8), Hex("CC42001A00401007"));
        QVERIFY(sim.Write(LinkFamilies::ScanSequence()[4].bytes));
        QCOMPARE(sim.Read(8, 400), QByteArray());
        QVERIFY(sim.Write(LinkFamilies::ReadIdFrame(LinkFamily::RowDirectory)));
        QCOMPARE(sim.Read(10), Hex("84659C5A03 84659C5A07"));
        QVERIFY(sim.Write(LinkFamilies::SetIdFrame(LinkFamily::RowDirectory, 3, 5)));
        QCOMPARE(sim.Read(1), Hex("CC"));
        QCOMPARE(sim.WaitFor(QStringLiteral("id-changed")).value(QStringLiteral("to")).toInt(), 5);
        QVERIFY(sim.Write(LinkFamilies::ClockFrame(LinkFamily::RowDirectory, QDateTime::currentDateTime())));
        QCOMPARE(sim.Read(16).left(4), Hex("55555555"));

        sim.process.terminate();
        QVERIFY(sim.process.waitForFinished(3000));
        QCOMPARE(sim.process.exitCode(), 0);
        QVERIFY(!sim.WaitFor(QStringLiteral("end"), 1000).isEmpty());
    }

    // Replies of family 5: the clock is acknowledged with its 14-byte echo, a lone probe for
    // ID 1 reads the ID.
    void addressedFamilyReplies() {
        SimProcess sim({"--model", "P26", "--ids", "12"});
        QVERIFY(sim.OpenDevice());
        QVERIFY(sim.Write(LinkFamilies::ReadIdFrame(LinkFamily::AddressedBlocks)));
        QCOMPARE(sim.Read(8), Hex("CC42001A0040100C"));
        QVERIFY(
            sim.Write(LinkFamilies::ClockFrame(LinkFamily::AddressedBlocks, QDateTime::currentDateTime())));
        QCOMPARE(sim.Read(14).left(4), Hex("7E01F100"));
    }

    // With --listen the line is a TCP port on the loopback address; every connection of the
    // program (one per operation) reaches the same signs.
    void servesTheLineOverTcp() {
        SimProcess sim({"--model", "P26", "--ids", "12", "--listen", "tcp://127.0.0.1:0"});
        const QString name = sim.WaitFor(QStringLiteral("ready")).value(QStringLiteral("device")).toString();
        QVERIFY2(name.startsWith(QStringLiteral("tcp://127.0.0.1:")), qPrintable(name));
        NetworkSerialPort port;
        port.SetPortName(name);
        for (int connection = 0; connection < 2; ++connection) {
            QVERIFY2(port.Open(), qPrintable(port.ErrorString()));
            QVERIFY(port.Write(LinkFamilies::ReadIdFrame(LinkFamily::AddressedBlocks)));
            QTRY_VERIFY_WITH_TIMEOUT(port.InputWaiting() >= 8, 3000);
            QCOMPARE(port.ReadPending(), Hex("CC42001A0040100C"));
            QVERIFY(port.Close());
            QVERIFY(!sim.WaitFor(QStringLiteral("disconnected")).isEmpty());
        }
    }

    void hangupClosesTheLine() {
        SimProcess sim({"--model", "P04", "--hangup-after", "10"});
        QVERIFY(sim.OpenDevice());
        QVERIFY(sim.Write(QByteArray(12, 'A')));
        QCOMPARE(sim.WaitFor(QStringLiteral("hangup")).value(QStringLiteral("after")).toInt(), 10);
        QVERIFY(sim.process.waitForFinished(3000));
        pollfd watched{sim.fd, POLLIN, 0};
        QCOMPARE(::poll(&watched, 1, 1000), 1);
        QVERIFY(watched.revents & (POLLHUP | POLLERR));
    }

    // After the stall the simulator reads nothing more, so the sender's output backs up.
    void stallBacksUpTheSender() {
        SimProcess sim({"--model", "P30", "--stall-after", "5"});
        QVERIFY(sim.OpenDevice());
        QVERIFY(sim.Write(QByteArray(5, '\x01')));
        QCOMPARE(sim.WaitFor(QStringLiteral("stalled")).value(QStringLiteral("after")).toInt(), 5);
        qint64 accepted = 0;
        const QByteArray block(1024, '\x02');
        for (int i = 0; i < 4096; ++i) {
            const ssize_t written = ::write(sim.fd, block.constData(), size_t(block.size()));
            if (written <= 0)
                break;
            accepted += written;
        }
        QVERIFY2(accepted < 4096 * 1024, "the line never filled up");
    }

    void refusesBadArguments() {
        QProcess process;
        process.start(QStringLiteral(VEXA_BIN_DIR "/vexa-sim"), {"--model", "P99"});
        QVERIFY(process.waitForFinished(3000));
        QCOMPARE(process.exitCode(), 2);
        QVERIFY(process.readAllStandardError().contains("unknown model"));
        process.start(QStringLiteral(VEXA_BIN_DIR "/vexa-sim"), {"--model", "P01", "--ids", "1,300"});
        QVERIFY(process.waitForFinished(3000));
        QCOMPARE(process.exitCode(), 2);
    }
};

QTEST_GUILESS_MAIN(TestSimulator)
#include "tst_simulator.moc"
