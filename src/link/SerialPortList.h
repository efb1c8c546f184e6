#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace vexa {

// The serial ports present on the computer and the rules that keep the port list of the
// main window current when adapters come and go.
class SerialPortList {
public:
    struct Port {
        QString name;        // device name without /dev/ ("ttyUSB0"): the list text
        QString description; // the adapter's description and maker: the tooltip text
        QString device;      // full path to open
    };

    // Ports in the system's enumeration order.
    static QList<Port> ListSerialPorts();
    static QStringList Names(const QList<Port>& ports);

    // Outcome of rebuilding the list: the new items, the item to select (-1: none) and
    // the port to set (nothing: the port stays as it was).
    struct Refresh {
        QStringList items;
        int selected = -1;
        std::optional<QString> portToSet;
        friend bool operator==(const Refresh&, const Refresh&) = default;
    };

    // The selection rules: a selection that vanished falls back to the first port; with
    // preferNewPort the first port that was not listed before is chosen (none when no port
    // is new); otherwise the selection stays. Without a previous selection the first port
    // is chosen. oldSelection empty means there was none.
    static Refresh RefreshPortList(const QStringList& oldItems, const QString& oldSelection,
                                   const QStringList& newPorts, bool preferNewPort);
};

} // namespace vexa
