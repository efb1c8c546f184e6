#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace vexa {

// What the system tells about a serial device besides opening it: the processes that have
// it open (from /proc/<pid>/fd) and the lock files in /run/lock that name a live process,
// whether ModemManager runs, and whether the device is a USB adapter that udev tells
// ModemManager to leave alone. Read from the real system, or from prepared folders.
class PortSystemView {
public:
    struct Paths {
        QString proc = QStringLiteral("/proc");
        QStringList lockDirs{QStringLiteral("/run/lock"), QStringLiteral("/var/lock")};
        QString udevData = QStringLiteral("/run/udev/data");
        QString sysClassTty = QStringLiteral("/sys/class/tty");
    };

    struct Holder {
        qint64 pid = 0;
        QString program;  // its command name
        QString lockFile; // the lock file naming it; empty when it has the device open
        friend bool operator==(const Holder&, const Holder&) = default;
    };

    struct Adapter {
        bool usb = false;
        QString vendorId;  // "0403"; empty when udev does not say
        QString productId; // "6001"
        bool ignoredByModemManager = false;
    };

    PortSystemView(); // the real system
    explicit PortSystemView(Paths paths);

    // Other processes that have device open or lock it, this process left out. The far
    // end of a pseudo-terminal (the process holding its master side) is the other end of
    // the line, not a competitor, and is left out too.
    QList<Holder> Holders(const QString& device) const;
    bool ModemManagerRuns() const;
    Adapter AdapterOf(const QString& device) const;

private:
    QString ProgramOf(qint64 pid) const;
    bool HoldsPseudoTerminalMaster(const QString& pidDir, int index) const;
    QList<Holder> LockHolders(const QString& device) const;

    Paths paths;
};

} // namespace vexa
