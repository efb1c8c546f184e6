#include "link/PortWatcher.h"

#include "link/SerialPortList.h"

#include <QSocketNotifier>
#include <QTimer>

#ifdef VEXA_HAVE_UDEV
#include <libudev.h>
#endif

namespace vexa {

PortWatcher::PortWatcher(QObject* parent)
    : QObject(parent), lister([] { return SerialPortList::Names(SerialPortList::ListSerialPorts()); }) {}

PortWatcher::~PortWatcher() {
    Stop();
}

void PortWatcher::SetLister(Lister value) {
    lister = std::move(value);
}

bool PortWatcher::Start(bool forcePolling) {
    Stop();
    if (!forcePolling && StartUdev())
        return true;
    known = lister();
    pollTimer = new QTimer(this);
    connect(pollTimer, &QTimer::timeout, this, &PortWatcher::PollNow);
    pollTimer->start(PollIntervalMs);
    return true;
}

void PortWatcher::Stop() {
    delete notifier;
    notifier = nullptr;
    delete pollTimer;
    pollTimer = nullptr;
#ifdef VEXA_HAVE_UDEV
    if (monitor)
        udev_monitor_unref(monitor);
    if (udevContext)
        udev_unref(udevContext);
#endif
    monitor = nullptr;
    udevContext = nullptr;
}

void PortWatcher::PollNow() {
    const QStringList now = lister();
    for (const QString& name : now) {
        if (!known.contains(name))
            emit deviceArrived(name);
    }
    for (const QString& name : std::as_const(known)) {
        if (!now.contains(name))
            emit deviceRemoved(name);
    }
    known = now;
}

bool PortWatcher::StartUdev() {
#ifdef VEXA_HAVE_UDEV
    udevContext = udev_new();
    if (!udevContext)
        return false;
    monitor = udev_monitor_new_from_netlink(udevContext, "udev");
    if (!monitor || udev_monitor_filter_add_match_subsystem_devtype(monitor, "tty", nullptr) < 0 ||
        udev_monitor_enable_receiving(monitor) < 0 || udev_monitor_get_fd(monitor) < 0) {
        Stop();
        return false;
    }
    notifier = new QSocketNotifier(udev_monitor_get_fd(monitor), QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, &PortWatcher::ReadUdevEvent);
    return true;
#else
    return false;
#endif
}

void PortWatcher::ReadUdevEvent() {
#ifdef VEXA_HAVE_UDEV
    udev_device* device = udev_monitor_receive_device(monitor);
    if (!device)
        return;
    const QString action = QString::fromLatin1(udev_device_get_action(device));
    const char* sysname = udev_device_get_sysname(device);
    const QString name = sysname ? QString::fromLocal8Bit(sysname) : QString();
    udev_device_unref(device);
    if (action == QLatin1String("add"))
        emit deviceArrived(name);
    else if (action == QLatin1String("remove"))
        emit deviceRemoved(name);
#endif
}

} // namespace vexa
