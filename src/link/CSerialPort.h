#pragma once

#include "link/SerialSettings.h"

#include <QByteArray>
#include <QObject>
#include <QString>

namespace vexa {

// The serial line the link engine talks through. Open and close by device path, raw
// 8N1 at the rate of a settings string, a write that queues bytes and returns at once,
// the counts of bytes still to send and of bytes received, a bounded read of pending
// input, and readyRead() when input arrives (delivered in the thread the port lives in
// once receive notification is enabled). Every operation may be called from any thread.
class CSerialPort : public QObject {
    Q_OBJECT
public:
    static constexpr int DefaultInBufferSize = 4096;
    static constexpr int DefaultOutBufferSize = 2048;
    static constexpr int MaxReadChunk = 1024;
    static constexpr const char* StartupSettings = "1200,n,8,1";

    explicit CSerialPort(QObject* parent = nullptr) : QObject(parent) {}
    ~CSerialPort() override = default;

    virtual void SetPortName(const QString& device) = 0;
    virtual QString PortName() const = 0;
    // False (settings unchanged) when the string is not a valid settings string.
    virtual bool SetSettings(const QString& settings) = 0;
    virtual QString Settings() const = 0;
    virtual void SetBufferSizes(int inBytes, int outBytes) = 0;

    virtual bool Open() = 0;
    virtual bool IsOpen() const = 0;
    // False when closing reported an error (the port is closed anyway).
    virtual bool Close() = 0;

    // Queues the whole block for sending; false on a port error (nothing more is queued).
    virtual bool Write(const QByteArray& bytes) = 0;
    // Bytes not yet sent (0 when everything has left); -1 on a port error.
    virtual int OutputWaiting() = 0;
    // Received bytes waiting to be read; -1 on a port error.
    virtual int InputWaiting() = 0;
    // Takes and removes at most maxBytes of the pending input.
    virtual QByteArray ReadPending(int maxBytes = MaxReadChunk) = 0;
    virtual void DiscardInput() = 0;

    // errno-style code of the last failure (0 when none) and its text.
    virtual int LastError() const = 0;
    virtual QString ErrorString() const = 0;

    // Turns readyRead() on or off; off by default.
    virtual void SetReceiveNotification(bool enabled) = 0;

signals:
    void readyRead();
};

} // namespace vexa
