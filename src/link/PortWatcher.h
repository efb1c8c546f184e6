#pragma once

#include <QObject>
#include <QStringList>
#include <functional>

class QSocketNotifier;
class QTimer;

struct udev;
struct udev_monitor;

namespace vexa {

// Tells when serial devices appear or vanish: a udev monitor on the tty subsystem, or,
// where udev cannot be used, a comparison of the port list once a second. Signals are
// emitted in the watcher's thread; the main window refreshes its port list on them.
class PortWatcher : public QObject {
    Q_OBJECT
public:
    using Lister = std::function<QStringList()>;
    static constexpr int PollIntervalMs = 1000;

    explicit PortWatcher(QObject* parent = nullptr);
    ~PortWatcher() override;

    // Starts watching; udev first unless polling is forced. True when watching.
    bool Start(bool forcePolling = false);
    void Stop();
    bool UsesUdev() const { return monitor != nullptr; }
    // Source of port names of the polling fallback (the system's ports by default).
    void SetLister(Lister lister);
    // Compares the port list now (what the polling timer does).
    void PollNow();

signals:
    void deviceArrived(const QString& name);
    void deviceRemoved(const QString& name);

private:
    bool StartUdev();
    void ReadUdevEvent();

    Lister lister;
    QStringList known;
    QTimer* pollTimer = nullptr;
    QSocketNotifier* notifier = nullptr;
    struct udev* udevContext = nullptr;
    struct udev_monitor* monitor = nullptr;
};

} // namespace vexa
