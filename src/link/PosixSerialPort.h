#pragma once

#include "link/InputWatcher.h"
#include "link/LinePacer.h"
#include "link/SerialPortBase.h"

#include <QByteArray>
#include <atomic>
#include <condition_variable>
#include <mutex>

namespace vexa {

// CSerialPort over a POSIX terminal device (USB or on-board adapters, pseudo-terminals).
// The device is opened non-blocking; bytes the driver does not take at once stay in a
// pending block that every later write or output-count query pushes on, so a partial
// write is finished, never dropped. The output count is the pending block plus the
// driver's queue (TIOCOUTQ), and never less than what the line can have sent at its baud
// rate since: USB adapters report their queue empty while their own FIFO still sends, and
// pseudo-terminals report nothing, yet the pauses after a frame must hold at the sign. The
// input count comes from FIONREAD.
class PosixSerialPort : public SerialPortBase {
    Q_OBJECT
public:
    explicit PosixSerialPort(QObject* parent = nullptr);
    ~PosixSerialPort() override;

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

    int fd = -1;
    QByteArray pending;
    LinePacer line;

    InputWatcher watcher;
    std::mutex consumedMutex;
    std::condition_variable consumed;
    std::atomic<int> consumeCount{0};
};

} // namespace vexa
