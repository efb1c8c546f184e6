#include "link/SerialPortBase.h"

#include <cerrno>
#include <cstring>

namespace vexa {

SerialPortBase::SerialPortBase(QObject* parent) : CSerialPort(parent) {
    settings = *SerialSettings::Parse(QString::fromLatin1(StartupSettings));
}

QString SerialPortBase::PortName() const {
    std::lock_guard lock(mutex);
    return portName;
}

QString SerialPortBase::Settings() const {
    std::lock_guard lock(mutex);
    return settings.ToString();
}

void SerialPortBase::SetBufferSizes(int inBytes, int outBytes) {
    std::lock_guard lock(mutex);
    inBufferSize = inBytes;
    outBufferSize = outBytes;
}

int SerialPortBase::LastError() const {
    std::lock_guard lock(mutex);
    return lastError;
}

QString SerialPortBase::ErrorString() const {
    std::lock_guard lock(mutex);
    return lastError ? QString::fromLocal8Bit(std::strerror(lastError)) : QString();
}

int SerialPortBase::PushPending(QByteArray& pending, const Put& put) {
    while (!pending.isEmpty()) {
        const ssize_t n = put(pending.constData(), static_cast<std::size_t>(pending.size()));
        if (n > 0) {
            pending.remove(0, n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            return 0;
        return n < 0 ? errno : EIO;
    }
    return 0;
}

} // namespace vexa
