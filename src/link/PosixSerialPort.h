#pragma once

#include "link/CSerialPort.h"

#include <QByteArray>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace vexa {

// CSerialPort over a POSIX terminal device (USB or on-board adapters, pseudo-terminals).
// The device is opened non-blocking; bytes the driver does not take at once stay in a
// pending block that every later write or output-count query pushes on, so a partial
// write is finished, never dropped. The output count is the pending block plus the
// driver's queue (TIOCOUTQ); the input count comes from FIONREAD.
class PosixSerialPort : public CSerialPort {
    Q_OBJECT
public:
    explicit PosixSerialPort(QObject* parent = nullptr);
    ~PosixSerialPort() override;

    void SetPortName(const QString& device) override;
    QString PortName() const override;
    bool SetSettings(const QString& settings) override;
    QString Settings() const override;
    void SetBufferSizes(int inBytes, int outBytes) override;

    bool Open() override;
    bool IsOpen() const override;
    bool Close() override;

    bool Write(const QByteArray& bytes) override;
    int OutputWaiting() override;
    int InputWaiting() override;
    QByteArray ReadPending(int maxBytes = MaxReadChunk) override;
    void DiscardInput() override;

    int LastError() const override;
    QString ErrorString() const override;

    void SetReceiveNotification(bool enabled) override;

    // Device path for a list name: "ttyUSB0" -> "/dev/ttyUSB0"; paths stay as they are.
    static QString DevicePath(const QString& name);

private:
    bool ApplySettings(int descriptor, const SerialSettings& settings);
    bool FlushPendingLocked();
    void Fail(int error);
    void StartWatcherLocked();
    void StopWatcher(std::unique_lock<std::mutex>& lock);
    void WatchInput(int descriptor, int wakeDescriptor);
    void NoteInputConsumed();

    mutable std::mutex mutex;
    QString device;
    SerialSettings settings;
    int inBufferSize = DefaultInBufferSize;
    int outBufferSize = DefaultOutBufferSize;
    int fd = -1;
    QByteArray pending;
    int lastError = 0;
    bool notify = false;

    // Receive watcher: a thread polling the descriptor, woken through a pipe to stop.
    std::thread watcher;
    int wakePipe[2] = {-1, -1};
    std::mutex consumedMutex;
    std::condition_variable consumed;
    std::atomic<int> consumeCount{0};
};

} // namespace vexa
