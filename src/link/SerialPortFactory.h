#pragma once

#include "link/CSerialPort.h"

#include <QString>
#include <memory>

namespace vexa {

// The port behind a port name, wherever a port is named (the editor's port box, the
// command line, the simulator): "tcp://HOST:PORT" and "rfc2217://HOST:PORT" are lines
// behind a serial device server, everything else is a local device ("ttyUSB0" or a path).
class SerialPortFactory {
public:
    static std::unique_ptr<CSerialPort> Create(const QString& name);
    // True when port is of the kind that name needs, so it can simply take the name.
    static bool Serves(const CSerialPort& port, const QString& name);
    // True for a local device name whose device does not exist (a network line is only
    // known to be there when it is opened).
    static bool IsMissingDevice(const QString& name);
};

} // namespace vexa
