#include "app/FleetCheck.h"

#include "core/ModelCatalogue.h"
#include "link/NetworkAddress.h"
#include "link/PosixSerialPort.h"
#include "store/AppPaths.h"
#include "store/CIdList.h"
#include "store/SystemSettings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <sys/stat.h>

namespace vexa {

namespace {

using Finding = FleetCheck::Finding;
using Kind = Finding::Kind;

AppPaths PathsOf(const FleetLine& line) {
    return AppPaths(line.dataDir, line.dataDir);
}

// The same server port or device however it is written, for finding two lines on one port.
QString PortKey(const QString& port) {
    if (NetworkAddress::IsNetworkName(port)) {
        const std::optional<NetworkAddress> address = NetworkAddress::Parse(port);
        return address ? address->host.toLower() + u':' + QString::number(address->port) : port;
    }
    const QString path = PosixSerialPort::DevicePath(port);
    const QString canonical = QFileInfo(path).canonicalFilePath();
    return canonical.isEmpty() ? path : canonical;
}

QString FolderKey(const FleetLine& line) {
    const QString canonical = QFileInfo(line.dataDir).canonicalFilePath();
    return canonical.isEmpty() ? line.dataDir : canonical;
}

// What is wrong with the port name itself, or with the device it names.
void CheckPort(const QString& port, QStringList& blocking, QStringList& others) {
    if (port.isEmpty())
        return; // named by the section's own problems
    if (NetworkAddress::IsNetworkName(port)) {
        if (!NetworkAddress::Parse(port))
            blocking << QStringLiteral("port '%1' is not tcp://HOST:PORT or rfc2217://HOST:PORT "
                                       "(port 1..65535)")
                            .arg(port);
        return;
    }
    if (port.contains(QLatin1String("://"))) {
        blocking << QStringLiteral("port '%1' is of no kind the program opens (a device such as "
                                   "/dev/ttyUSB0, tcp://HOST:PORT or rfc2217://HOST:PORT)")
                        .arg(port);
        return;
    }
    const QString path = PosixSerialPort::DevicePath(port);
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        others << QStringLiteral("no device %1 now").arg(path);
    else if (!S_ISCHR(info.st_mode))
        others << QStringLiteral("%1 is not a serial device").arg(path);
}

// The folder must hold a WorkData folder; without it the line has no settings, signs or messages.
void CheckFolder(const FleetLine& line, QStringList& blocking, QStringList& others) {
    if (line.dataDir.isEmpty())
        return;
    const QFileInfo folder(line.dataDir);
    const AppPaths paths = PathsOf(line);
    if (!folder.exists()) {
        blocking << QStringLiteral("folder %1 does not exist").arg(line.dataDir);
    } else if (!folder.isDir()) {
        blocking << QStringLiteral("%1 is not a folder").arg(line.dataDir);
    } else if (!QFileInfo(paths.WorkDataDir()).isDir()) {
        blocking << QStringLiteral("folder %1 holds no WorkData folder").arg(line.dataDir);
    } else if (!QFileInfo(paths.WorkDataDir()).isWritable() || !folder.isWritable()) {
        others << QStringLiteral("folder %1 is not writable (a send saves its rows and exports its "
                                 "bitmaps there)")
                      .arg(line.dataDir);
    }
}

} // namespace

FleetLineSigns FleetLineSigns::Read(const FleetLine& line, int codePage) {
    FleetLineSigns signs;
    signs.names.resize(CIdList::MaxId + 1);
    if (line.dataDir.isEmpty())
        return signs;
    const AppPaths paths = PathsOf(line);
    SystemSettings settings(paths.SystemSetPath());
    settings.File().SetErrorReporter({});
    signs.settingsPresent = QFileInfo::exists(paths.SystemSetPath());
    signs.storedModel = settings.LedType();
    signs.settingsRead = settings.Readable();
    signs.mode485 = line.mode485.value_or(settings.Mode485());
    signs.selected = settings.NowSelID();
    const LegacyCodePage page(codePage > 0 ? codePage : settings.CodePage());

    CIdList list(paths.IdListPath());
    list.file.SetErrorReporter({});
    list.file.SetCodePage(page);
    signs.signListPresent = QFileInfo::exists(paths.IdListPath());
    signs.signListRead = list.LoadIdList();
    signs.ticked = list.TickedIds();
    for (int id = 1; id <= CIdList::MaxId; ++id) {
        const CIdList::Entry& entry = list.entries[static_cast<size_t>(id)];
        signs.names[id] = entry.name;
        // The group dialog's tree: signs of the list's group, ticked as their marks say.
        if ((entry.groupMask & 1u) != 0 && (entry.checkMask & 1u) != 0)
            signs.groupTicked << id;
    }
    return signs;
}

QString FleetLineSigns::WorkFile(const FleetLine& line, int id) const {
    return PathsOf(line).WorkFilePath(id);
}

QStringList FleetCheck::Blocking(const FleetFile& fleet, const FleetLine& line) {
    QList<Finding> findings;
    CheckLine(line, findings);
    CheckShared(fleet, findings);
    QStringList blocking;
    for (const Finding& finding : std::as_const(findings)) {
        if (finding.blocksRun && finding.line == line.name)
            blocking << finding.text;
    }
    return blocking;
}

QList<Finding> FleetCheck::Check(const FleetFile& fleet) {
    QList<Finding> findings;
    for (const QString& problem : fleet.Problems())
        findings.append({QString(), problem, Kind::Problem, false});
    for (const FleetLine& line : fleet.Lines())
        CheckLine(line, findings);
    CheckShared(fleet, findings);
    return findings;
}

void FleetCheck::CheckLine(const FleetLine& line, QList<Finding>& findings) {
    QStringList blocking = line.problems;
    QStringList others;
    QStringList warnings;
    if (!line.model.isEmpty() && !ModelCatalogue::Find(line.model))
        blocking << QStringLiteral("unknown model '%1' (models are P01..P36)").arg(line.model);
    CheckPort(line.port, blocking, others);
    CheckFolder(line, blocking, others);
    if (blocking.isEmpty()) {
        const FleetLineSigns signs = FleetLineSigns::Read(line);
        const AppPaths paths = PathsOf(line);
        if (signs.settingsPresent && !signs.settingsRead)
            others << QStringLiteral("%1 cannot be read").arg(paths.SystemSetPath());
        if (signs.signListPresent && !signs.signListRead)
            others << QStringLiteral("%1 cannot be read").arg(paths.IdListPath());
        if (!signs.storedModel.isEmpty() && signs.storedModel != line.model)
            warnings << QStringLiteral("the line's settings name model %1; the fleet works with %2")
                            .arg(signs.storedModel, line.model);
        if (signs.mode485 != 0) {
            if (signs.ticked.isEmpty())
                others << QStringLiteral("485 line without a ticked sign in %1").arg(paths.IdListPath());
            for (const int id : signs.ticked) {
                if (!QFileInfo(paths.WorkFilePath(id)).isFile())
                    others << QStringLiteral("sign %1 has no message file %2")
                                  .arg(id)
                                  .arg(paths.WorkFilePath(id));
            }
        } else if (!QFileInfo(paths.WorkFilePath(signs.selected)).isFile()) {
            others << QStringLiteral("the selected sign %1 has no message file %2")
                          .arg(signs.selected)
                          .arg(paths.WorkFilePath(signs.selected));
        }
    }
    // A line no operation runs cannot fail one: what stands in its way is told as a note.
    const Kind problemKind = line.enabled ? Kind::Problem : Kind::Warning;
    if (!line.enabled)
        warnings.prepend(QStringLiteral("disabled (Enabled=0): fleet operations pass it over"));
    for (const QString& text : std::as_const(blocking))
        findings.append({line.name, text, problemKind, line.enabled});
    for (const QString& text : std::as_const(others))
        findings.append({line.name, text, problemKind, false});
    for (const QString& text : std::as_const(warnings))
        findings.append({line.name, text, Kind::Warning, false});
}

// Two enabled lines on one port would interleave their bytes on the wire, and two on one
// folder would export and save over each other's files while they run side by side.
void FleetCheck::CheckShared(const FleetFile& fleet, QList<Finding>& findings) {
    QHash<QString, QString> portOwner;
    QHash<QString, QString> folderOwner;
    for (const FleetLine& line : fleet.Lines()) {
        if (!line.enabled)
            continue;
        const auto claim = [&](QHash<QString, QString>& owners, const QString& key, const QString& what) {
            if (key.isEmpty())
                return;
            const auto owner = owners.constFind(key);
            if (owner == owners.constEnd()) {
                owners.insert(key, line.name);
                return;
            }
            findings.append(
                {line.name, QStringLiteral("%1 is also line %2's").arg(what, *owner), Kind::Problem, true});
            findings.append(
                {*owner, QStringLiteral("%1 is also line %2's").arg(what, line.name), Kind::Problem, true});
        };
        if (!line.port.isEmpty())
            claim(portOwner, PortKey(line.port), QStringLiteral("port ") + line.port);
        if (!line.dataDir.isEmpty())
            claim(folderOwner, FolderKey(line), QStringLiteral("folder ") + line.dataDir);
    }
}

} // namespace vexa
