#include "link/MemorySerialPort.h"

#include <cerrno>

namespace vexa {

MemorySerialPort::MemorySerialPort(QObject* parent) : SerialPortBase(parent) {
    lastDrain = Clock::now();
}

void MemorySerialPort::SetPortName(const QString& name) {
    std::lock_guard lock(mutex);
    portName = name;
}

bool MemorySerialPort::SetSettings(const QString& text) {
    const auto parsed = SerialSettings::Parse(text);
    if (!parsed)
        return false;
    std::lock_guard lock(mutex);
    DrainLocked();
    settings = *parsed;
    return true;
}

bool MemorySerialPort::Open() {
    std::lock_guard lock(mutex);
    if (open)
        return true;
    if (openError) {
        lastError = openError;
        return false;
    }
    open = true;
    ++openCount;
    outQueue.clear();
    drainCredit = 0;
    lastDrain = Clock::now();
    lastError = 0;
    return true;
}

bool MemorySerialPort::IsOpen() const {
    std::lock_guard lock(mutex);
    return open;
}

bool MemorySerialPort::Close() {
    std::lock_guard lock(mutex);
    if (open)
        ++closeCount;
    open = false;
    outQueue.clear();
    return true;
}

void MemorySerialPort::DrainLocked() {
    const Clock::time_point now = Clock::now();
    const double seconds = std::chrono::duration<double>(now - lastDrain).count();
    lastDrain = now;
    if (stalled || outQueue.isEmpty()) {
        drainCredit = 0;
        return;
    }
    qsizetype count = outQueue.size();
    if (!instantDrain) {
        drainCredit += seconds * settings.baud / settings.BitsPerByte();
        count = std::min(outQueue.size(), static_cast<qsizetype>(drainCredit));
        drainCredit -= static_cast<double>(count);
    }
    sent.append(outQueue.left(count));
    outQueue.remove(0, count);
    if (outQueue.isEmpty())
        drainCredit = 0;
}

bool MemorySerialPort::Write(const QByteArray& bytes) {
    std::lock_guard lock(mutex);
    ++writeCount;
    if (!open || failingWrites.count(writeCount)) {
        lastError = open ? EIO : EBADF;
        return false;
    }
    DrainLocked();
    outQueue.append(bytes);
    writes.push_back({bytes, Clock::now()});
    return true;
}

int MemorySerialPort::OutputWaiting() {
    std::lock_guard lock(mutex);
    if (!open) {
        lastError = EBADF;
        return -1;
    }
    DrainLocked();
    return static_cast<int>(outQueue.size());
}

int MemorySerialPort::InputWaiting() {
    std::lock_guard lock(mutex);
    if (!open) {
        lastError = EBADF;
        return -1;
    }
    return static_cast<int>(input.size());
}

QByteArray MemorySerialPort::ReadPending(int maxBytes) {
    std::lock_guard lock(mutex);
    if (!open || maxBytes <= 0)
        return {};
    const QByteArray chunk = input.left(maxBytes);
    input.remove(0, chunk.size());
    return chunk;
}

void MemorySerialPort::DiscardInput() {
    std::lock_guard lock(mutex);
    input.clear();
}

void MemorySerialPort::SetReceiveNotification(bool enabled) {
    std::lock_guard lock(mutex);
    notify = enabled;
}

void MemorySerialPort::SetOpenError(int error) {
    std::lock_guard lock(mutex);
    openError = error;
}

void MemorySerialPort::SetStalled(bool stall) {
    std::lock_guard lock(mutex);
    DrainLocked();
    stalled = stall;
}

void MemorySerialPort::FailWrite(int writeNumber) {
    std::lock_guard lock(mutex);
    failingWrites.insert(writeNumber);
}

void MemorySerialPort::InjectReceived(const QByteArray& bytes) {
    bool announce = false;
    {
        std::lock_guard lock(mutex);
        input.append(bytes);
        announce = notify && open;
    }
    if (announce)
        emit readyRead();
}

void MemorySerialPort::SetInstantDrain(bool instant) {
    std::lock_guard lock(mutex);
    DrainLocked();
    instantDrain = instant;
}

QByteArray MemorySerialPort::SentBytes() {
    std::lock_guard lock(mutex);
    DrainLocked();
    return sent;
}

std::vector<MemorySerialPort::WriteRecord> MemorySerialPort::Writes() const {
    std::lock_guard lock(mutex);
    return writes;
}

int MemorySerialPort::OpenCount() const {
    std::lock_guard lock(mutex);
    return openCount;
}

int MemorySerialPort::CloseCount() const {
    std::lock_guard lock(mutex);
    return closeCount;
}

int MemorySerialPort::BufferSizeIn() const {
    std::lock_guard lock(mutex);
    return inBufferSize;
}

int MemorySerialPort::BufferSizeOut() const {
    std::lock_guard lock(mutex);
    return outBufferSize;
}

} // namespace vexa
