#include "link/PortCheck.h"

#include "link/CSerialPort.h"
#include "link/NetworkSerialPort.h"
#include "link/PosixSerialPort.h"
#include "link/SerialPortFactory.h"
#include "link/SerialPortList.h"
#include "store/LanguageTexts.h"

#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <grp.h>
#include <memory>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace vexa {

namespace {

using Text = LanguageTexts::Text;

QString Say(const LanguageTexts* texts, Text text) {
    return LanguageTexts::Say(texts, text);
}

// "crw-rw----" as ls shows it.
QString ModeText(mode_t mode) {
    QString text = S_ISCHR(mode)   ? QStringLiteral("c")
                   : S_ISDIR(mode) ? QStringLiteral("d")
                                   : QStringLiteral("-");
    const char* letters = "rwxrwxrwx";
    for (int bit = 0; bit < 9; ++bit)
        text += (mode & (0400 >> bit)) ? QChar::fromLatin1(letters[bit]) : QChar(u'-');
    return text;
}

QString UserName(uid_t uid) {
    const passwd* entry = ::getpwuid(uid);
    return entry ? QString::fromLocal8Bit(entry->pw_name) : QString::number(uid);
}

QString GroupName(gid_t gid) {
    const group* entry = ::getgrgid(gid);
    return entry ? QString::fromLocal8Bit(entry->gr_name) : QString::number(gid);
}

// The groups this process runs with.
bool SessionHasGroup(gid_t gid) {
    if (::getegid() == gid)
        return true;
    const int count = ::getgroups(0, nullptr);
    if (count <= 0)
        return false;
    std::vector<gid_t> groups(static_cast<size_t>(count));
    const int got = ::getgroups(count, groups.data());
    for (int i = 0; i < got; ++i)
        if (groups[static_cast<size_t>(i)] == gid)
            return true;
    return false;
}

// Whether the group database puts the user in the group (as primary or as a member).
bool DatabaseHasMember(gid_t gid, uid_t uid) {
    const passwd* user = ::getpwuid(uid);
    if (!user)
        return false;
    if (user->pw_gid == gid)
        return true;
    const QByteArray name(user->pw_name);
    const group* entry = ::getgrgid(gid);
    if (!entry)
        return false;
    for (char** member = entry->gr_mem; member && *member; ++member)
        if (name == *member)
            return true;
    return false;
}

QString PresentPorts(const LanguageTexts* texts) {
    const QStringList names = SerialPortList::Names(SerialPortList::ListSerialPorts());
    return names.isEmpty() ? Say(texts, Text::PortsNonePresent)
                           : Say(texts, Text::PortsPresent).arg(names.join(QStringLiteral(", ")));
}

PortCheck::Finding Permission(const QString& device, PortCheck::Finding finding, const LanguageTexts* texts) {
    struct stat info {};
    if (::stat(QFile::encodeName(device).constData(), &info) != 0)
        return finding;
    const QString group = GroupName(info.st_gid);
    const QString me = UserName(::geteuid());
    finding.lines
        << Say(texts, Text::PortPermission).arg(device, UserName(info.st_uid), group, ModeText(info.st_mode));
    const bool groupMayUse = (info.st_mode & 060) == 060;
    if (!groupMayUse) {
        const QString target = info.st_gid == 0 ? QStringLiteral("dialout") : group;
        finding.lines << Say(texts, Text::PortOwnerOnly).arg(target);
        finding.fixes << QStringLiteral("SUBSYSTEM==\"tty\", KERNEL==\"%1\", GROUP=\"%2\", MODE=\"0660\"")
                             .arg(QFileInfo(device).fileName(), target);
    } else if (SessionHasGroup(info.st_gid)) {
        finding.lines << Say(texts, Text::PortGroupRefused).arg(me, group);
    } else if (DatabaseHasMember(info.st_gid, ::geteuid())) {
        finding.lines << Say(texts, Text::PortGroupNotInSession).arg(me, group);
        finding.fixes << QStringLiteral("newgrp %1").arg(group);
    } else {
        finding.lines << Say(texts, Text::PortNotInGroup).arg(me, group);
        finding.fixes << QStringLiteral("sudo usermod -aG %1 $USER").arg(group);
    }
    return finding;
}

QString HolderLine(const PortSystemView::Holder& holder, const LanguageTexts* texts) {
    const QString program = holder.program.isEmpty() ? QStringLiteral("?") : holder.program;
    if (holder.lockFile.isEmpty())
        return QStringLiteral("  ") + Say(texts, Text::PortHolder).arg(program).arg(holder.pid);
    return QStringLiteral("  ") +
           Say(texts, Text::PortLockHolder).arg(program).arg(holder.pid).arg(holder.lockFile);
}

QString ModemManagerRule(const QString& device, const PortSystemView::Adapter& adapter) {
    if (!adapter.vendorId.isEmpty() && !adapter.productId.isEmpty())
        return QStringLiteral(
                   "ATTRS{idVendor}==\"%1\", ATTRS{idProduct}==\"%2\", ENV{ID_MM_DEVICE_IGNORE}=\"1\"")
            .arg(adapter.vendorId, adapter.productId);
    return QStringLiteral("KERNEL==\"%1\", ENV{ID_MM_DEVICE_IGNORE}=\"1\"").arg(QFileInfo(device).fileName());
}

} // namespace

QString PortCheck::Finding::CaseName() const {
    switch (kind) {
    case Case::Opens:
        return QStringLiteral("opens");
    case Case::Missing:
        return QStringLiteral("missing");
    case Case::PermissionDenied:
        return QStringLiteral("permission");
    case Case::Busy:
        return QStringLiteral("busy");
    case Case::ModemManager:
        return QStringLiteral("modemmanager");
    case Case::NotSerial:
        return QStringLiteral("not-serial");
    case Case::NoHardware:
        return QStringLiteral("no-hardware");
    case Case::NameNotResolved:
        return QStringLiteral("no-resolve");
    case Case::Refused:
        return QStringLiteral("refused");
    case Case::NoAnswer:
        return QStringLiteral("no-answer");
    case Case::BaudRefused:
        return QStringLiteral("baud-refused");
    case Case::NoComPortControl:
        return QStringLiteral("no-rfc2217");
    case Case::BadName:
        return QStringLiteral("bad-name");
    case Case::Failed:
        break;
    }
    return QStringLiteral("failed");
}

QString PortCheck::Finding::Text() const {
    QStringList out = lines;
    for (const QString& fix : fixes)
        out << QStringLiteral("    ") + fix;
    return out.join(u'\n');
}

PortCheck::Finding PortCheck::Check(const QString& portName, const QString& settings,
                                    const LanguageTexts* texts, const PortSystemView& system) {
    const std::unique_ptr<CSerialPort> port = SerialPortFactory::Create(portName);
    port->SetSettings(settings);
    if (!port->Open())
        return Explain(*port, texts, system);
    port->Close();
    if (NetworkAddress::IsNetworkName(portName)) {
        Finding opens;
        opens.port = portName;
        opens.lines << Say(texts, Text::PortOpens).arg(portName);
        return opens;
    }
    Finding found = Neighbours(port->PortName(), texts, system);
    found.port = portName;
    return found;
}

PortCheck::Finding PortCheck::Explain(const CSerialPort& failedPort, const LanguageTexts* texts,
                                      const PortSystemView& system) {
    if (qobject_cast<const NetworkSerialPort*>(&failedPort))
        return ExplainNetwork(failedPort, texts);
    return ExplainDevice(failedPort.PortName(), failedPort.LastError(), failedPort.ErrorString(), texts,
                         system);
}

QString PortCheck::FailureDetail(const CSerialPort& failedPort, const LanguageTexts* texts,
                                 const PortSystemView& system) {
    const QString name = failedPort.PortName();
    QString reason = failedPort.ErrorString();
    if (reason.startsWith(name + QStringLiteral(": ")))
        reason = reason.mid(name.size() + 2);
    return Say(texts, Text::OpenFailureDetail).arg(name, reason) + QStringLiteral("\n\n") +
           Explain(failedPort, texts, system).Text();
}

// The device opened: other programs that have it, or ModemManager, may still spoil a send.
PortCheck::Finding PortCheck::Neighbours(const QString& device, const LanguageTexts* texts,
                                         const PortSystemView& system) {
    Finding finding;
    const QList<PortSystemView::Holder> holders = system.Holders(device);
    if (!holders.isEmpty()) {
        finding.kind = Case::Busy;
        finding.lines << Say(texts, Text::PortBusy).arg(device);
        for (const PortSystemView::Holder& holder : holders)
            finding.lines << HolderLine(holder, texts);
        finding.lines << Say(texts, Text::PortCloseHolder);
        return finding;
    }
    const PortSystemView::Adapter adapter = system.AdapterOf(device);
    if (adapter.usb && !adapter.ignoredByModemManager && system.ModemManagerRuns()) {
        finding.kind = Case::ModemManager;
        finding.lines << Say(texts, Text::PortModemManager).arg(device);
        finding.fixes << ModemManagerRule(device, adapter)
                      << QStringLiteral("sudo udevadm control --reload-rules");
        return finding;
    }
    finding.lines << Say(texts, Text::PortOpens).arg(device);
    return finding;
}

PortCheck::Finding PortCheck::ExplainDevice(const QString& device, int error, const QString& errorText,
                                            const LanguageTexts* texts, const PortSystemView& system) {
    Finding finding;
    finding.port = device;
    finding.reason = device + QStringLiteral(": ") + errorText;
    switch (error) {
    case ENOENT:
    case ENOTDIR:
        finding.kind = Case::Missing;
        finding.lines << Say(texts, Text::PortMissing).arg(device) << PresentPorts(texts);
        return finding;
    case EACCES:
    case EPERM:
        finding.kind = Case::PermissionDenied;
        return Permission(device, finding, texts);
    case EBUSY: {
        finding.kind = Case::Busy;
        finding.lines << Say(texts, Text::PortExclusive).arg(device);
        for (const PortSystemView::Holder& holder : system.Holders(device))
            finding.lines << HolderLine(holder, texts);
        finding.lines << Say(texts, Text::PortCloseHolder);
        return finding;
    }
    case ENXIO:
    case ENODEV:
    case EIO:
        finding.kind = Case::NoHardware;
        finding.lines << Say(texts, Text::PortNoHardware).arg(device, errorText) << PresentPorts(texts);
        return finding;
    case ENOTTY:
    case EINVAL:
    case EISDIR:
        finding.kind = Case::NotSerial;
        finding.lines << Say(texts, Text::PortNotSerial).arg(device) << PresentPorts(texts);
        return finding;
    default:
        finding.kind = Case::Failed;
        finding.lines << Say(texts, Text::PortFailed).arg(device, errorText);
        return finding;
    }
}

PortCheck::Finding PortCheck::ExplainNetwork(const CSerialPort& port, const LanguageTexts* texts) {
    const auto& network = static_cast<const NetworkSerialPort&>(port);
    Finding finding;
    finding.port = port.PortName();
    finding.reason = port.ErrorString();
    const std::optional<NetworkAddress> address = network.Address();
    const QString host = address ? address->host : finding.port;
    const QString hostPort =
        address ? QStringLiteral("%1:%2").arg(address->host).arg(address->port) : finding.port;
    const int limitSeconds = NetworkSerialPort::ConnectLimitMs / 1000;
    switch (network.LastFailure()) {
    case NetworkSerialPort::Failure::BadName:
        finding.kind = Case::BadName;
        finding.lines << Say(texts, Text::NetBadName).arg(finding.port);
        break;
    case NetworkSerialPort::Failure::NotResolved:
        finding.kind = Case::NameNotResolved;
        finding.lines << Say(texts, Text::NetNotResolved).arg(host);
        break;
    case NetworkSerialPort::Failure::Refused:
        finding.kind = Case::Refused;
        finding.lines << Say(texts, Text::NetRefused).arg(host).arg(address ? address->port : 0);
        break;
    case NetworkSerialPort::Failure::NoAnswer:
        finding.kind = Case::NoAnswer;
        finding.lines << Say(texts, Text::NetNoAnswer).arg(hostPort).arg(limitSeconds);
        break;
    case NetworkSerialPort::Failure::BaudRefused:
        finding.kind = Case::BaudRefused;
        finding.lines << Say(texts, Text::NetBaudRefused)
                             .arg(SerialSettings::Parse(port.Settings()).value_or(SerialSettings{}).baud)
                             .arg(network.ServerBaud());
        break;
    case NetworkSerialPort::Failure::ComPortRefused:
        finding.kind = Case::NoComPortControl;
        finding.lines << Say(texts, Text::NetNoComPort).arg(hostPort);
        break;
    case NetworkSerialPort::Failure::ComPortSilent:
        finding.kind = Case::NoComPortControl;
        finding.lines << Say(texts, Text::NetComPortSilent)
                             .arg(hostPort)
                             .arg(NetworkSerialPort::NegotiationLimitMs / 1000);
        break;
    default:
        finding.kind = Case::Failed;
        finding.lines << Say(texts, Text::PortFailed).arg(finding.port, finding.reason);
        break;
    }
    return finding;
}

} // namespace vexa
