#include "link/PosixSerialPort.h"

#include <QLoggingCategory>
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace vexa {

Q_LOGGING_CATEGORY(lcSerial, "vexa.link.serial", QtWarningMsg)

namespace {

speed_t SpeedFor(int baud) {
    switch (baud) {
    case 1200:
        return B1200;
    case 2400:
        return B2400;
    case 4800:
        return B4800;
    case 9600:
        return B9600;
    case 19200:
        return B19200;
    case 38400:
        return B38400;
    case 57600:
        return B57600;
    case 115200:
        return B115200;
    default:
        return B0;
    }
}

} // namespace

PosixSerialPort::PosixSerialPort(QObject* parent) : SerialPortBase(parent) {}

PosixSerialPort::~PosixSerialPort() {
    Close();
}

QString PosixSerialPort::DevicePath(const QString& name) {
    if (name.isEmpty() || name.startsWith(u'/'))
        return name;
    return QStringLiteral("/dev/") + name;
}

void PosixSerialPort::SetPortName(const QString& name) {
    std::lock_guard lock(mutex);
    portName = DevicePath(name);
}

bool PosixSerialPort::SetSettings(const QString& text) {
    const auto parsed = SerialSettings::Parse(text);
    if (!parsed || SpeedFor(parsed->baud) == B0)
        return false;
    std::lock_guard lock(mutex);
    if (fd >= 0 && !ApplySettings(fd, *parsed))
        return false;
    settings = *parsed;
    return true;
}

bool PosixSerialPort::ApplySettings(int descriptor, const SerialSettings& s) {
    termios tio{};
    if (tcgetattr(descriptor, &tio) != 0) {
        Fail(errno);
        return false;
    }
    cfmakeraw(&tio);
    tio.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | PARODD | CSTOPB | CRTSCTS);
    tio.c_cflag |= CLOCAL | CREAD;
    switch (s.dataBits) {
    case 5:
        tio.c_cflag |= CS5;
        break;
    case 6:
        tio.c_cflag |= CS6;
        break;
    case 7:
        tio.c_cflag |= CS7;
        break;
    default:
        tio.c_cflag |= CS8;
        break;
    }
    if (s.parity != 'n')
        tio.c_cflag |= PARENB | (s.parity == 'o' ? PARODD : 0);
    if (s.stopBits == 2)
        tio.c_cflag |= CSTOPB;
    tio.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY);
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    const speed_t speed = SpeedFor(s.baud);
    cfsetispeed(&tio, speed);
    cfsetospeed(&tio, speed);
    if (tcsetattr(descriptor, TCSANOW, &tio) != 0) {
        Fail(errno);
        return false;
    }
    return true;
}

void PosixSerialPort::Fail(int error) {
    lastError = error;
    qCInfo(lcSerial) << portName << std::strerror(error);
}

bool PosixSerialPort::Open() {
    std::lock_guard lock(mutex);
    if (fd >= 0)
        return true;
    if (portName.isEmpty()) {
        lastError = ENOENT;
        return false;
    }
    const int descriptor =
        ::open(portName.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0) {
        Fail(errno);
        return false;
    }
    if (!ApplySettings(descriptor, settings)) {
        ::close(descriptor);
        return false;
    }
    tcflush(descriptor, TCIOFLUSH);
    fd = descriptor;
    pending.clear();
    line.Restart();
    lastError = 0;
    if (notify)
        StartWatcherLocked();
    return true;
}

bool PosixSerialPort::IsOpen() const {
    std::lock_guard lock(mutex);
    return fd >= 0;
}

bool PosixSerialPort::Close() {
    std::unique_lock lock(mutex);
    StopWatcher(lock);
    if (fd < 0)
        return true;
    const int result = ::close(fd);
    fd = -1;
    pending.clear();
    if (result != 0) {
        Fail(errno);
        return false;
    }
    return true;
}

bool PosixSerialPort::FlushPendingLocked() {
    const int error =
        PushPending(pending, [this](const char* data, size_t size) { return ::write(fd, data, size); });
    if (error == 0)
        return true;
    Fail(error);
    return false;
}

bool PosixSerialPort::Write(const QByteArray& bytes) {
    std::lock_guard lock(mutex);
    if (fd < 0) {
        lastError = EBADF;
        return false;
    }
    pending.append(bytes);
    line.Queue(bytes.size(), settings);
    if (FlushPendingLocked())
        return true;
    pending.clear();
    return false;
}

int PosixSerialPort::OutputWaiting() {
    std::lock_guard lock(mutex);
    if (fd < 0) {
        lastError = EBADF;
        return -1;
    }
    if (!FlushPendingLocked())
        return -1;
    int queued = 0;
    if (::ioctl(fd, TIOCOUTQ, &queued) != 0)
        queued = 0; // some drivers cannot tell; what they took counts as sent
    // The line itself cannot be faster than its baud rate, whatever the driver says.
    return std::max(line.Backlog(settings), static_cast<int>(pending.size()) + queued);
}

int PosixSerialPort::InputWaiting() {
    std::lock_guard lock(mutex);
    if (fd < 0) {
        lastError = EBADF;
        return -1;
    }
    int available = 0;
    if (::ioctl(fd, FIONREAD, &available) != 0) {
        Fail(errno);
        return -1;
    }
    return available;
}

QByteArray PosixSerialPort::ReadPending(int maxBytes) {
    QByteArray data;
    {
        std::lock_guard lock(mutex);
        if (fd < 0 || maxBytes <= 0)
            return data;
        data.resize(maxBytes);
        ssize_t n = 0;
        do {
            n = ::read(fd, data.data(), static_cast<size_t>(maxBytes));
        } while (n < 0 && errno == EINTR);
        data.resize(n > 0 ? n : 0);
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK)
            Fail(errno);
    }
    NoteInputConsumed();
    return data;
}

void PosixSerialPort::DiscardInput() {
    {
        std::lock_guard lock(mutex);
        if (fd >= 0)
            tcflush(fd, TCIFLUSH);
    }
    NoteInputConsumed();
}

void PosixSerialPort::SetReceiveNotification(bool enabled) {
    std::unique_lock lock(mutex);
    notify = enabled;
    if (!enabled)
        StopWatcher(lock);
    else if (fd >= 0 && !watcher.IsRunning())
        StartWatcherLocked();
}

void PosixSerialPort::StartWatcherLocked() {
    watcher.Start(fd, [this](int descriptor, int wakeDescriptor) { WatchInput(descriptor, wakeDescriptor); });
}

// The watcher may be waiting for the input to be taken; noting it consumed ends that wait.
void PosixSerialPort::StopWatcher(std::unique_lock<std::mutex>& lock) {
    watcher.Stop(lock, [this] { NoteInputConsumed(); });
}

void PosixSerialPort::NoteInputConsumed() {
    {
        std::lock_guard lock(consumedMutex);
        ++consumeCount;
    }
    consumed.notify_all();
}

// Emits readyRead() once per arrival: after a notification it waits until someone
// read the input (or 100 ms passed and more arrived) before it looks again, so unread
// input does not turn into a flood of notifications.
void PosixSerialPort::WatchInput(int descriptor, int wakeDescriptor) {
    int announced = -1;
    for (;;) {
        const std::optional<short> events = InputWatcher::WaitForInput(descriptor, wakeDescriptor);
        if (!events || (*events & (POLLERR | POLLNVAL)))
            return;
        int available = 0;
        if (::ioctl(descriptor, FIONREAD, &available) != 0)
            return;
        if (available == 0 && (*events & POLLHUP)) {
            // The other end hung up; wait for the stop request instead of spinning.
            InputWatcher::WaitForStop(wakeDescriptor);
            return;
        }
        if (available > 0 && available != announced) {
            announced = available;
            emit readyRead();
        }
        const int seen = consumeCount.load();
        std::unique_lock lock(consumedMutex);
        if (consumed.wait_for(lock, std::chrono::milliseconds(100),
                              [&] { return consumeCount.load() != seen; }))
            announced = -1;
    }
}

} // namespace vexa
