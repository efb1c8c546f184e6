#pragma once

#include "link/CSerialPort.h"
#include "link/SerialSettings.h"

#include <QByteArray>
#include <QString>
#include <cstddef>
#include <functional>
#include <mutex>
#include <sys/types.h>

namespace vexa {

// What every port keeps alike: its name, the values of its settings string, the buffer
// sizes, the last error and whether readyRead() is wanted, all under the one mutex that
// the port's own operations take too. A port starts at the start-up settings.
class SerialPortBase : public CSerialPort {
    Q_OBJECT
public:
    explicit SerialPortBase(QObject* parent = nullptr);

    QString PortName() const override;
    QString Settings() const override;
    void SetBufferSizes(int inBytes, int outBytes) override;
    int LastError() const override;
    // The system's text for LastError(); empty when there was no error.
    QString ErrorString() const override;

protected:
    using Put = std::function<ssize_t(const char* data, std::size_t size)>;
    // Hands the pending bytes to put until none are left or put would block, and removes
    // what it took. 0 then; otherwise the errno-style code of the failure (EIO when put
    // took nothing and named no error).
    static int PushPending(QByteArray& pending, const Put& put);

    mutable std::mutex mutex;
    QString portName;
    SerialSettings settings;
    int inBufferSize = DefaultInBufferSize;
    int outBufferSize = DefaultOutBufferSize;
    int lastError = 0;
    bool notify = false;
};

} // namespace vexa
