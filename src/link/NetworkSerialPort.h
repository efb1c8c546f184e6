#pragma once

#include "link/InputWatcher.h"
#include "link/LinePacer.h"
#include "link/NetworkAddress.h"
#include "link/SerialPortBase.h"
#include "link/TelnetCodec.h"

#include <QByteArray>
#include <chrono>
#include <mutex>
#include <optional>

namespace vexa {

// CSerialPort over a serial device server: "tcp://HOST:PORT" (raw) or "rfc2217://HOST:PORT"
// (Telnet with COM port control; opening sets the line to the settings string and waits for
// the server to confirm the baud rate). Connecting and the negotiation are bounded.
//
// A socket takes bytes long before the server has put them on its serial line, so the
// output count models the line: bytes written leave it at the configured baud rate from the
// moment they were queued, and the count never falls below what the socket itself still
// holds. Waiting for the count to reach 0, and every pause after that, therefore hold at the
// far end of the line as they do on a local adapter.
//
// A connection the server closes or resets counts as a port error: the output and input
// counts report -1 and the port no longer reports itself open, so the next operation
// connects afresh. ErrorString() names the server and the reason.
class NetworkSerialPort : public SerialPortBase {
    Q_OBJECT
public:
    using Clock = std::chrono::steady_clock;
    static constexpr int ConnectLimitMs = 3000;     // name lookup and connection together
    static constexpr int NegotiationLimitMs = 3000; // COM port control until the baud is confirmed

    // What went wrong with the last connection, so that it can be explained.
    enum class Failure {
        None,
        BadName,        // not tcp://HOST:PORT or rfc2217://HOST:PORT
        NotResolved,    // the host name does not resolve (or not in time)
        Refused,        // the server refuses the connection
        NoAnswer,       // nothing answers within the connect time
        ComPortRefused, // the server declines COM port control
        ComPortSilent,  // connected, but no answer to COM port control
        BaudRefused,    // the server set another baud rate
        Lost,           // the connection broke
    };

    explicit NetworkSerialPort(QObject* parent = nullptr);
    ~NetworkSerialPort() override;

    void SetPortName(const QString& name) override;
    bool SetSettings(const QString& settings) override;
    // Keeps room for at least one full read in the input buffer; the output size is not used.
    void SetBufferSizes(int inBytes, int outBytes) override;

    bool Open() override;
    bool IsOpen() const override;
    bool Close() override;

    bool Write(const QByteArray& bytes) override;
    int OutputWaiting() override;
    int InputWaiting() override;
    QByteArray ReadPending(int maxBytes = MaxReadChunk) override;
    void DiscardInput() override;

    QString ErrorString() const override;

    void SetReceiveNotification(bool enabled) override;

    // The baud rate an RFC 2217 server confirmed for its line (0: none, or a raw line).
    int ServerBaud() const;
    Failure LastFailure() const;
    // The host and port of the name ("" when it is not a well-formed network name).
    std::optional<NetworkAddress> Address() const;

private:
    struct Connection {
        int fd = -1;
        int error = 0;
        Failure failure = Failure::None;
        QString reason;
    };

    static Connection Connect(const NetworkAddress& address, Clock::time_point deadline);
    bool NegotiateLocked(Clock::time_point deadline);
    bool WaitReadableLocked(Clock::time_point deadline);
    bool PumpInputLocked();
    bool FlushPendingLocked();
    void FailLocked(Failure kind, int error, const QString& reason);
    void CloseLocked();
    void StartWatcherLocked();
    void StopWatcher(std::unique_lock<std::mutex>& lock);
    void WatchInput(int descriptor, int wakeDescriptor);
    void AnnounceArrivals();

    std::optional<NetworkAddress> address;
    int fd = -1;
    bool closedByPeer = false;
    bool telnetLine = false; // the connection speaks Telnet (RFC 2217)
    TelnetCodec telnet;
    QByteArray pending; // bytes for the socket that it has not taken yet
    QByteArray input;   // line data received and not yet read
    // Line data came in that no readyRead() announced yet: every pump takes what the socket
    // holds, so data a writer's pump took must be announced by that writer.
    bool unannounced = false;
    LinePacer line; // the serial line behind the server
    QString errorText;
    Failure failure = Failure::None;

    InputWatcher watcher;
};

} // namespace vexa
