#include "link/SerialPortFactory.h"

#include "link/NetworkAddress.h"
#include "link/NetworkSerialPort.h"
#include "link/PosixSerialPort.h"

#include <QFileInfo>

namespace vexa {

std::unique_ptr<CSerialPort> SerialPortFactory::Create(const QString& name) {
    std::unique_ptr<CSerialPort> port;
    if (NetworkAddress::IsNetworkName(name))
        port = std::make_unique<NetworkSerialPort>();
    else
        port = std::make_unique<PosixSerialPort>();
    port->SetPortName(name);
    return port;
}

bool SerialPortFactory::Serves(const CSerialPort& port, const QString& name) {
    const bool network = qobject_cast<const NetworkSerialPort*>(&port) != nullptr;
    const bool local = qobject_cast<const PosixSerialPort*>(&port) != nullptr;
    return NetworkAddress::IsNetworkName(name) ? network : local;
}

bool SerialPortFactory::IsMissingDevice(const QString& name) {
    if (name.isEmpty() || NetworkAddress::IsNetworkName(name))
        return false;
    return !QFileInfo::exists(PosixSerialPort::DevicePath(name));
}

} // namespace vexa
