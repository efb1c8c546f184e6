#include "link/NetworkSerialPort.h"

#include <QLoggingCategory>
#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <fcntl.h>
#include <linux/sockios.h>
#include <memory>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace vexa {

Q_LOGGING_CATEGORY(lcNetworkPort, "vexa.link.network", QtWarningMsg)

namespace {

constexpr int kReceiveChunk = 4096;
// What one pump takes from the socket at most: a server that sends without end (data or
// Telnet requests) cannot hold the port, its lock or a deadline beyond one pump.
constexpr int kPumpLimit = 64 * 1024;

int MillisecondsUntil(NetworkSerialPort::Clock::time_point deadline) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - NetworkSerialPort::Clock::now());
    return static_cast<int>(std::max<std::chrono::milliseconds::rep>(0, left.count()));
}

QString SystemText(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

// A name lookup on its own thread, so that a resolver which does not answer cannot hold
// the caller beyond the connect limit. The thread owns its share of the result and frees
// it when the caller has given up.
struct Lookup {
    std::mutex mutex;
    std::condition_variable finished;
    bool done = false;
    int status = 0;
    addrinfo* result = nullptr;
    ~Lookup() {
        if (result)
            freeaddrinfo(result);
    }
};

std::shared_ptr<Lookup> Resolve(const NetworkAddress& address,
                                NetworkSerialPort::Clock::time_point deadline) {
    auto lookup = std::make_shared<Lookup>();
    const QByteArray host = address.host.toUtf8();
    const QByteArray service = QByteArray::number(address.port);
    std::thread([lookup, host, service] {
        addrinfo hints{};
        hints.ai_family = AF_UNSPEC;
        hints.ai_socktype = SOCK_STREAM;
        hints.ai_flags = AI_NUMERICSERV;
        addrinfo* result = nullptr;
        const int status = getaddrinfo(host.constData(), service.constData(), &hints, &result);
        std::lock_guard lock(lookup->mutex);
        lookup->status = status;
        lookup->result = result;
        lookup->done = true;
        lookup->finished.notify_all();
    }).detach();
    std::unique_lock lock(lookup->mutex);
    lookup->finished.wait_until(lock, deadline, [&] { return lookup->done; });
    return lookup;
}

} // namespace

NetworkSerialPort::NetworkSerialPort(QObject* parent) : SerialPortBase(parent) {}

NetworkSerialPort::~NetworkSerialPort() {
    Close();
}

void NetworkSerialPort::SetPortName(const QString& name) {
    std::lock_guard lock(mutex);
    portName = name.trimmed();
    address = NetworkAddress::Parse(portName);
}

bool NetworkSerialPort::SetSettings(const QString& text) {
    const auto parsed = SerialSettings::Parse(text);
    if (!parsed || parsed->baud <= 0)
        return false;
    std::lock_guard lock(mutex);
    settings = *parsed;
    if (fd >= 0 && !closedByPeer && telnetLine) {
        pending += TelnetCodec::ComPortSettings(settings);
        return FlushPendingLocked();
    }
    return true;
}

void NetworkSerialPort::SetBufferSizes(int inBytes, int) {
    std::lock_guard lock(mutex);
    inBufferSize = std::max(inBytes, MaxReadChunk);
}

void NetworkSerialPort::FailLocked(Failure kind, int error, const QString& reason) {
    failure = kind;
    lastError = error;
    errorText = portName + QStringLiteral(": ") + reason;
    qCInfo(lcNetworkPort).noquote() << errorText;
}

NetworkSerialPort::Connection NetworkSerialPort::Connect(const NetworkAddress& address,
                                                         Clock::time_point deadline) {
    Connection connection;
    const std::shared_ptr<Lookup> lookup = Resolve(address, deadline);
    std::unique_lock lookupLock(lookup->mutex);
    if (!lookup->done) {
        connection.error = ETIMEDOUT;
        connection.failure = Failure::NotResolved;
        connection.reason =
            QStringLiteral("the name %1 was not resolved within %2 ms").arg(address.host).arg(ConnectLimitMs);
        return connection;
    }
    if (lookup->status != 0 || !lookup->result) {
        connection.error = EHOSTUNREACH;
        connection.failure = Failure::NotResolved;
        connection.reason = QStringLiteral("cannot resolve %1: %2")
                                .arg(address.host, QString::fromLocal8Bit(gai_strerror(lookup->status)));
        return connection;
    }
    connection.error = ECONNREFUSED;
    for (const addrinfo* candidate = lookup->result; candidate; candidate = candidate->ai_next) {
        const int descriptor =
            ::socket(candidate->ai_family, candidate->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC,
                     candidate->ai_protocol);
        if (descriptor < 0) {
            connection.error = errno;
            continue;
        }
        int error = 0;
        if (::connect(descriptor, candidate->ai_addr, candidate->ai_addrlen) != 0) {
            error = errno;
            if (error == EINPROGRESS) {
                pollfd watched{descriptor, POLLOUT, 0};
                int ready = 0;
                do {
                    ready = ::poll(&watched, 1, MillisecondsUntil(deadline));
                } while (ready < 0 && errno == EINTR);
                socklen_t length = sizeof error;
                if (ready == 0)
                    error = ETIMEDOUT;
                else if (::getsockopt(descriptor, SOL_SOCKET, SO_ERROR, &error, &length) != 0)
                    error = errno;
            }
        }
        if (error == 0) {
            const int on = 1;
            ::setsockopt(descriptor, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
            connection.fd = descriptor;
            connection.error = 0;
            return connection;
        }
        ::close(descriptor);
        connection.error = error;
        if (error == ETIMEDOUT)
            break;
    }
    connection.failure = connection.error == ECONNREFUSED ? Failure::Refused : Failure::NoAnswer;
    connection.reason = connection.error == ETIMEDOUT
                            ? QStringLiteral("no connection within %1 ms").arg(ConnectLimitMs)
                            : QStringLiteral("cannot connect: %1").arg(SystemText(connection.error));
    return connection;
}

bool NetworkSerialPort::Open() {
    std::optional<NetworkAddress> target;
    {
        std::unique_lock lock(mutex);
        if (fd >= 0 && !closedByPeer)
            return true;
        StopWatcher(lock);
        CloseLocked();
        if (!address) {
            FailLocked(Failure::BadName, EINVAL,
                       QStringLiteral("not a network port (tcp://HOST:PORT or rfc2217://HOST:PORT)"));
            return false;
        }
        target = address;
    }
    // Connecting may take a while; the lock stays free for the other callers meanwhile.
    const Clock::time_point connectDeadline = Clock::now() + std::chrono::milliseconds(ConnectLimitMs);
    const Connection connection = Connect(*target, connectDeadline);
    std::lock_guard lock(mutex);
    if (connection.fd < 0) {
        FailLocked(connection.failure, connection.error, connection.reason);
        return false;
    }
    fd = connection.fd;
    closedByPeer = false;
    telnetLine = target->protocol == NetworkAddress::Protocol::Rfc2217;
    telnet = TelnetCodec();
    pending.clear();
    input.clear();
    unannounced = false;
    line.Restart();
    lastError = 0;
    errorText.clear();
    failure = Failure::None;
    if (telnetLine && !NegotiateLocked(Clock::now() + std::chrono::milliseconds(NegotiationLimitMs))) {
        CloseLocked();
        return false;
    }
    input.clear(); // nothing from before the line was set counts as a reply
    unannounced = false;
    if (notify)
        StartWatcherLocked();
    return true;
}

bool NetworkSerialPort::WaitReadableLocked(Clock::time_point deadline) {
    pollfd watched{fd, POLLIN, 0};
    int ready = 0;
    do {
        ready = ::poll(&watched, 1, MillisecondsUntil(deadline));
    } while (ready < 0 && errno == EINTR);
    return ready > 0;
}

// COM port control: the server must agree to the option, then confirm the baud rate set.
bool NetworkSerialPort::NegotiateLocked(Clock::time_point deadline) {
    pending += telnet.Greeting();
    if (!FlushPendingLocked())
        return false;
    bool settingsSent = false;
    for (;;) {
        if (!PumpInputLocked())
            return false;
        if (telnet.ComPortRefused()) {
            FailLocked(Failure::ComPortRefused, EPROTONOSUPPORT,
                       QStringLiteral("the server does not offer COM port control (RFC 2217)"));
            return false;
        }
        if (telnet.ComPortAccepted() && !settingsSent) {
            pending += TelnetCodec::ComPortSettings(settings);
            if (!FlushPendingLocked())
                return false;
            settingsSent = true;
        }
        if (settingsSent && telnet.ServerBaud()) {
            if (*telnet.ServerBaud() != settings.baud) {
                FailLocked(Failure::BaudRefused, EINVAL,
                           QStringLiteral("the server set its line to %1 baud instead of %2")
                               .arg(*telnet.ServerBaud())
                               .arg(settings.baud));
                return false;
            }
            return true;
        }
        if (Clock::now() >= deadline || !WaitReadableLocked(deadline)) {
            if (Clock::now() < deadline)
                continue;
            FailLocked(Failure::ComPortSilent, ETIMEDOUT,
                       QStringLiteral("no answer to COM port control (RFC 2217) within %1 ms")
                           .arg(NegotiationLimitMs));
            return false;
        }
    }
}

bool NetworkSerialPort::IsOpen() const {
    std::lock_guard lock(mutex);
    return fd >= 0 && !closedByPeer;
}

void NetworkSerialPort::CloseLocked() {
    if (fd >= 0)
        ::close(fd);
    fd = -1;
    closedByPeer = false;
    pending.clear();
    input.clear();
    unannounced = false;
}

bool NetworkSerialPort::Close() {
    std::unique_lock lock(mutex);
    StopWatcher(lock);
    CloseLocked();
    return true;
}

bool NetworkSerialPort::FlushPendingLocked() {
    const int error = PushPending(
        pending, [this](const char* data, size_t size) { return ::send(fd, data, size, MSG_NOSIGNAL); });
    if (error == 0)
        return true;
    closedByPeer = true;
    FailLocked(Failure::Lost, error,
               QStringLiteral("the connection to the server was lost: %1").arg(SystemText(error)));
    return false;
}

bool NetworkSerialPort::PumpInputLocked() {
    if (closedByPeer)
        return false;
    char buffer[kReceiveChunk];
    for (int taken = 0;;) {
        if (taken >= kPumpLimit)
            return FlushPendingLocked(); // the rest waits for the next pump
        const ssize_t n = ::recv(fd, buffer, sizeof buffer, MSG_DONTWAIT);
        if (n > 0) {
            taken += static_cast<int>(n);
            QByteArray data = QByteArray(buffer, n);
            if (telnetLine) {
                TelnetCodec::Decoded decoded = telnet.Feed(data);
                data = std::move(decoded.data);
                pending += decoded.answer;
            }
            const qsizetype room = std::max<qsizetype>(0, inBufferSize - input.size());
            if (data.size() > room)
                qCInfo(lcNetworkPort)
                    << portName << "input buffer full," << data.size() - room << "bytes dropped";
            input += data.left(room);
            unannounced = unannounced || room > 0;
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            return FlushPendingLocked();
        const int error = n < 0 ? errno : ECONNRESET;
        closedByPeer = true;
        FailLocked(Failure::Lost, error,
                   n == 0
                       ? QStringLiteral("the server closed the connection")
                       : QStringLiteral("the connection to the server was lost: %1").arg(SystemText(error)));
        return false;
    }
}

bool NetworkSerialPort::Write(const QByteArray& bytes) {
    bool written = false;
    {
        std::lock_guard lock(mutex);
        if (fd < 0) {
            lastError = EBADF;
            return false;
        }
        if (PumpInputLocked()) {
            pending += telnetLine ? TelnetCodec::Escape(bytes) : bytes;
            line.Queue(bytes.size(), settings);
            written = FlushPendingLocked();
        }
    }
    AnnounceArrivals();
    return written;
}

int NetworkSerialPort::OutputWaiting() {
    int waiting = -1;
    {
        std::lock_guard lock(mutex);
        if (fd < 0) {
            lastError = EBADF;
            return -1;
        }
        if (PumpInputLocked()) {
            int queued = 0;
            if (::ioctl(fd, SIOCOUTQ, &queued) != 0)
                queued = 0;
            const int socketQueue = static_cast<int>(pending.size()) + queued;
            waiting = std::max(line.Backlog(settings), socketQueue);
        }
    }
    AnnounceArrivals();
    return waiting;
}

// A reply that arrives while a frame is written is taken in by the writer's pump; the
// watcher then finds the socket empty, so the writer announces it (after the lock is
// released: a receiver on the writer's thread reads the port at once).
void NetworkSerialPort::AnnounceArrivals() {
    bool announce = false;
    {
        std::lock_guard lock(mutex);
        announce = notify && unannounced && !input.isEmpty();
        if (announce)
            unannounced = false;
    }
    if (announce)
        emit readyRead();
}

int NetworkSerialPort::InputWaiting() {
    std::lock_guard lock(mutex);
    if (fd < 0) {
        lastError = EBADF;
        return -1;
    }
    if (!PumpInputLocked() && input.isEmpty())
        return -1;
    return static_cast<int>(input.size());
}

QByteArray NetworkSerialPort::ReadPending(int maxBytes) {
    std::lock_guard lock(mutex);
    if (fd < 0 || maxBytes <= 0)
        return {};
    PumpInputLocked();
    const QByteArray taken = input.left(maxBytes);
    input.remove(0, taken.size());
    unannounced = unannounced && !input.isEmpty();
    return taken;
}

void NetworkSerialPort::DiscardInput() {
    std::lock_guard lock(mutex);
    if (fd < 0)
        return;
    PumpInputLocked();
    input.clear();
    unannounced = false;
}

QString NetworkSerialPort::ErrorString() const {
    std::lock_guard lock(mutex);
    return errorText;
}

NetworkSerialPort::Failure NetworkSerialPort::LastFailure() const {
    std::lock_guard lock(mutex);
    return failure;
}

std::optional<NetworkAddress> NetworkSerialPort::Address() const {
    std::lock_guard lock(mutex);
    return address;
}

int NetworkSerialPort::ServerBaud() const {
    std::lock_guard lock(mutex);
    return telnet.ServerBaud().value_or(0);
}

void NetworkSerialPort::SetReceiveNotification(bool enabled) {
    std::unique_lock lock(mutex);
    notify = enabled;
    if (!enabled)
        StopWatcher(lock);
    else if (fd >= 0 && !closedByPeer && !watcher.IsRunning())
        StartWatcherLocked();
}

void NetworkSerialPort::StartWatcherLocked() {
    watcher.Start(fd, [this](int descriptor, int wakeDescriptor) { WatchInput(descriptor, wakeDescriptor); });
}

void NetworkSerialPort::StopWatcher(std::unique_lock<std::mutex>& lock) {
    watcher.Stop(lock);
}

// Takes what arrives into the input buffer (answering Telnet requests on the way) and
// emits readyRead() when line data came in. Ends on the stop request or when the
// connection is gone.
void NetworkSerialPort::WatchInput(int descriptor, int wakeDescriptor) {
    for (;;) {
        if (!InputWatcher::WaitForInput(descriptor, wakeDescriptor))
            return;
        bool arrived = false;
        bool alive = true;
        {
            std::lock_guard lock(mutex);
            alive = PumpInputLocked();
            arrived = unannounced && !input.isEmpty();
            unannounced = false;
        }
        std::this_thread::yield(); // a flooding server leaves room for the port's users
        if (arrived)
            emit readyRead();
        if (!alive) {
            InputWatcher::WaitForStop(wakeDescriptor);
            return;
        }
    }
}

} // namespace vexa
