#pragma once

#include "link/SerialPortBase.h"

#include <QByteArray>
#include <chrono>
#include <mutex>
#include <set>
#include <vector>

namespace vexa {

// An in-memory serial line for tests and benchmarks. Written bytes leave the output
// queue at the configured baud rate (bits per byte from the settings, 10 for 8N1) unless
// the line is stalled; what has left is kept as the bytes "on the wire". Received bytes
// are injected by the test. Opening, writing and stalling can be made to fail.
class MemorySerialPort : public SerialPortBase {
    Q_OBJECT
public:
    using Clock = std::chrono::steady_clock;

    struct WriteRecord {
        QByteArray bytes;
        Clock::time_point when;
    };

    explicit MemorySerialPort(QObject* parent = nullptr);

    void SetPortName(const QString& device) override;
    bool SetSettings(const QString& settings) override;

    bool Open() override;
    bool IsOpen() const override;
    bool Close() override;

    bool Write(const QByteArray& bytes) override;
    int OutputWaiting() override;
    int InputWaiting() override;
    QByteArray ReadPending(int maxBytes = MaxReadChunk) override;
    void DiscardInput() override;

    void SetReceiveNotification(bool enabled) override;

    // --- test controls ---
    // Open() fails with this errno-style code (0: opening works).
    void SetOpenError(int error);
    // While stalled nothing leaves the output queue.
    void SetStalled(bool stalled);
    // The n-th call of Write (1-based, counted over the port's life) fails.
    void FailWrite(int writeNumber);
    // Makes bytes arrive from the line (emits readyRead when notification is on).
    void InjectReceived(const QByteArray& bytes);
    // Drains instantly instead of at the baud rate.
    void SetInstantDrain(bool instant);

    // Bytes that have left the port, in order, and every accepted Write call.
    QByteArray SentBytes();
    std::vector<WriteRecord> Writes() const;
    int OpenCount() const;
    int CloseCount() const;
    int BufferSizeIn() const;
    int BufferSizeOut() const;

private:
    void DrainLocked();

    bool open = false;
    bool stalled = false;
    bool instantDrain = false;
    int openError = 0;
    int writeCount = 0;
    int openCount = 0;
    int closeCount = 0;
    std::set<int> failingWrites;
    QByteArray outQueue;
    QByteArray sent;
    QByteArray input;
    double drainCredit = 0; // fraction of a byte already on its way
    Clock::time_point lastDrain;
    std::vector<WriteRecord> writes;
};

} // namespace vexa
