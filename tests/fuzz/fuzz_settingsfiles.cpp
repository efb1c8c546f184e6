// The readers of System.set and IDLIST.id: any file content loads without harm, the
// settings come out in their ranges, and a sign list saved from what was read reads back
// the same.
#include "store/CIdList.h"
#include "store/SystemSettings.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

using namespace vexa;

namespace {

// Files of the run live in memory where the system offers it: the saves are synced.
const QTemporaryDir& Folder() {
    static const QTemporaryDir dir(QDir(QStringLiteral("/dev/shm")).exists()
                                       ? QStringLiteral("/dev/shm/vexa-fuzz-XXXXXX")
                                       : QDir::tempPath() + QStringLiteral("/vexa-fuzz-XXXXXX"));
    return dir;
}

void Write(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        std::abort();
}

bool SameList(const CIdList& a, const CIdList& b) {
    if (a.groupCheck != b.groupCheck || a.groupNames != b.groupNames)
        return false;
    for (int id = 1; id <= CIdList::MaxId; ++id) {
        const CIdList::Entry& x = a.entries[static_cast<size_t>(id)];
        const CIdList::Entry& y = b.entries[static_cast<size_t>(id)];
        if (x.name != y.name || x.groupMask != y.groupMask || x.checkMask != y.checkMask)
            return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QString settingsPath = Folder().filePath(QStringLiteral("System.set"));
    const QString listPath = Folder().filePath(QStringLiteral("IDLIST.id"));
    const QString copyPath = Folder().filePath(QStringLiteral("copy.id"));
    Write(settingsPath, bytes);
    Write(listPath, bytes);

    SystemSettings settings(settingsPath);
    settings.File().SetErrorReporter({});
    settings.Language();
    settings.LedType();
    settings.Mode485();
    settings.NowSelID();
    settings.LedIdStr();
    settings.LedIdName(1);
    settings.PortName();
    if (settings.CodePage() <= 0)
        std::abort();
    const QRect frame = settings.WindowRect();
    if (!frame.isNull() && (frame.width() <= 0 || frame.height() <= 0))
        std::abort();

    CIdList list(listPath);
    list.file.SetErrorReporter({});
    if (!list.LoadIdList())
        std::abort();
    for (const CIdList::Entry& entry : list.entries) {
        if (entry.name.size() > CIdList::MaxNameLength)
            std::abort();
    }
    QFile::remove(copyPath);
    list.file.filePath = copyPath;
    if (!list.SaveIdList())
        std::abort();
    CIdList reread(copyPath);
    if (!reread.LoadIdList() || !SameList(list, reread))
        std::abort();
    return 0;
}
