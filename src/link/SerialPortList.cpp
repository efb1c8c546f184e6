#include "link/SerialPortList.h"

#include <QSerialPortInfo>

namespace vexa {

QList<SerialPortList::Port> SerialPortList::ListSerialPorts() {
    QList<Port> ports;
    const QList<QSerialPortInfo> infos = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo& info : infos) {
        QString tip = info.description();
        if (!info.manufacturer().isEmpty() && !tip.contains(info.manufacturer()))
            tip =
                tip.isEmpty() ? info.manufacturer() : tip + QStringLiteral(" (") + info.manufacturer() + u')';
        ports.append({info.portName(), tip, info.systemLocation()});
    }
    return ports;
}

QStringList SerialPortList::Names(const QList<Port>& ports) {
    QStringList names;
    for (const Port& p : ports)
        names.append(p.name);
    return names;
}

SerialPortList::Refresh SerialPortList::RefreshPortList(const QStringList& oldItems,
                                                        const QString& oldSelection,
                                                        const QStringList& newPorts, bool preferNewPort) {
    Refresh r;
    r.items = newPorts;
    const auto chooseFirst = [&] {
        if (!newPorts.isEmpty()) {
            r.selected = 0;
            r.portToSet = newPorts.front();
        }
    };
    if (oldSelection.isEmpty()) {
        chooseFirst();
        return r;
    }
    if (!newPorts.contains(oldSelection)) {
        chooseFirst();
    } else if (preferNewPort) {
        for (qsizetype i = 0; i < newPorts.size(); ++i) {
            if (!oldItems.contains(newPorts[i])) {
                r.selected = static_cast<int>(i);
                r.portToSet = newPorts[i];
                break;
            }
        }
    } else {
        r.selected = static_cast<int>(newPorts.indexOf(oldSelection));
    }
    return r;
}

} // namespace vexa
