#include "link/PortSystemView.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <cstring>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace vexa {

namespace {

constexpr qint64 kMaxSmallFile = 4096;
// The entries of /proc/<pid>/fd are links to devices, sockets and pipes alike.
constexpr QDir::Filters kAnyEntry = QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot;
constexpr unsigned kFirstPtsMajor = 136;
constexpr unsigned kLastPtsMajor = 143;

QByteArray ReadSmallFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.read(kMaxSmallFile);
}

bool StatDevice(const QString& path, struct stat& info) {
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 && S_ISCHR(info.st_mode);
}

// The index of a pseudo-terminal's slave device; -1 for every other device.
int PseudoTerminalIndex(const struct stat& info) {
    const unsigned major = ::major(info.st_rdev);
    if (major < kFirstPtsMajor || major > kLastPtsMajor)
        return -1;
    return static_cast<int>((major - kFirstPtsMajor) * 256 + ::minor(info.st_rdev));
}

QList<qint64> Pids(const QString& proc) {
    QList<qint64> pids;
    const QStringList entries = QDir(proc).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& entry : entries) {
        bool ok = false;
        const qint64 pid = entry.toLongLong(&ok);
        if (ok && pid > 0)
            pids.append(pid);
    }
    return pids;
}

} // namespace

PortSystemView::PortSystemView() : PortSystemView(Paths{}) {}

PortSystemView::PortSystemView(Paths systemPaths) : paths(std::move(systemPaths)) {}

QString PortSystemView::ProgramOf(qint64 pid) const {
    return QString::fromLocal8Bit(ReadSmallFile(QStringLiteral("%1/%2/comm").arg(paths.proc).arg(pid)))
        .trimmed();
}

bool PortSystemView::HoldsPseudoTerminalMaster(const QString& pidDir, int index) const {
    const QDir fds(pidDir + QStringLiteral("/fd"));
    const QString tag = QStringLiteral("tty-index:\t%1").arg(index);
    for (const QString& fd : fds.entryList(kAnyEntry)) {
        const QString target = QFileInfo(fds.filePath(fd)).symLinkTarget();
        if (!target.endsWith(QLatin1String("ptmx")))
            continue;
        const QString info = QString::fromLatin1(ReadSmallFile(pidDir + QStringLiteral("/fdinfo/") + fd));
        if (info.split(u'\n').contains(tag))
            return true;
    }
    return false;
}

QList<PortSystemView::Holder> PortSystemView::Holders(const QString& device) const {
    QList<Holder> holders;
    struct stat wanted {};
    if (!StatDevice(device, wanted))
        return LockHolders(device);
    const int ptsIndex = PseudoTerminalIndex(wanted);
    const qint64 self = ::getpid();
    for (qint64 pid : Pids(paths.proc)) {
        if (pid == self)
            continue;
        const QString pidDir = QStringLiteral("%1/%2").arg(paths.proc).arg(pid);
        const QDir fds(pidDir + QStringLiteral("/fd"));
        bool holds = false;
        for (const QString& fd : fds.entryList(kAnyEntry)) {
            struct stat info {};
            if (StatDevice(fds.filePath(fd), info) && info.st_rdev == wanted.st_rdev) {
                holds = true;
                break;
            }
        }
        if (holds && (ptsIndex < 0 || !HoldsPseudoTerminalMaster(pidDir, ptsIndex)))
            holders.append({pid, ProgramOf(pid), QString()});
    }
    return holders + LockHolders(device);
}

// UUCP lock files: "LCK..ttyUSB0" holding the locking process's PID as text (or as a
// binary int by older programs). Locks of processes that are gone do not count.
QList<PortSystemView::Holder> PortSystemView::LockHolders(const QString& device) const {
    QList<Holder> holders;
    QString relative = QFileInfo(device).absoluteFilePath();
    if (relative.startsWith(QLatin1String("/dev/")))
        relative = relative.mid(5);
    QStringList names{QStringLiteral("LCK..") + QFileInfo(device).fileName()};
    if (relative.contains(u'/'))
        names << QStringLiteral("LCK..") + QString(relative).replace(u'/', u'_');
    for (const QString& dir : paths.lockDirs) {
        for (const QString& name : names) {
            const QString path = QDir(dir).filePath(name);
            const QByteArray content = ReadSmallFile(path);
            if (content.isEmpty())
                continue;
            bool ok = false;
            qint64 pid = content.trimmed().toLongLong(&ok);
            if (!ok && content.size() == sizeof(qint32)) {
                qint32 binary = 0;
                std::memcpy(&binary, content.constData(), sizeof binary);
                pid = binary;
            }
            const QString pidDir = QStringLiteral("%1/%2").arg(paths.proc).arg(pid);
            if (pid <= 0 || pid == ::getpid() || !QFileInfo::exists(pidDir))
                continue;
            const Holder holder{pid, ProgramOf(pid), path};
            if (!holders.contains(holder))
                holders.append(holder);
        }
    }
    return holders;
}

bool PortSystemView::ModemManagerRuns() const {
    for (qint64 pid : Pids(paths.proc))
        if (ProgramOf(pid) == QLatin1String("ModemManager"))
            return true;
    return false;
}

PortSystemView::Adapter PortSystemView::AdapterOf(const QString& device) const {
    Adapter adapter;
    const QString name = QFileInfo(device).fileName();
    const QString sysDevice =
        QFileInfo(QDir(paths.sysClassTty).filePath(name + QStringLiteral("/device"))).canonicalFilePath();
    adapter.usb = sysDevice.contains(QLatin1String("/usb"));
    struct stat info {};
    if (!StatDevice(device, info))
        return adapter;
    const QString database =
        QStringLiteral("%1/c%2:%3").arg(paths.udevData).arg(::major(info.st_rdev)).arg(::minor(info.st_rdev));
    QFile file(database);
    if (!file.open(QIODevice::ReadOnly))
        return adapter;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine(kMaxSmallFile)).trimmed();
        if (line == QLatin1String("E:ID_MM_DEVICE_IGNORE=1"))
            adapter.ignoredByModemManager = true;
        else if (line.startsWith(QLatin1String("E:ID_VENDOR_ID=")))
            adapter.vendorId = line.mid(15);
        else if (line.startsWith(QLatin1String("E:ID_MODEL_ID=")))
            adapter.productId = line.mid(14);
        else if (line.startsWith(QLatin1String("E:ID_BUS=usb")))
            adapter.usb = true;
    }
    return adapter;
}

} // namespace vexa
