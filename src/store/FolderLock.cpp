#include "store/FolderLock.h"

#include <QDir>
#include <QFile>
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace vexa {

FolderLock::FolderLock(QString lockedFolder) : folder(std::move(lockedFolder)) {}

FolderLock::~FolderLock() {
    Release();
}

QString FolderLock::Path() const {
    return QDir(folder).filePath(QString::fromLatin1(FileName));
}

FolderLock::Result FolderLock::Acquire() {
    if (fd >= 0)
        return Result::Acquired;
    holderPid = 0;
    if (!QDir().mkpath(folder))
        return Result::Failed;
    const QByteArray path = QFile::encodeName(Path());
    const int descriptor =
        ::open(path.constData(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0644);
    if (descriptor < 0)
        return Result::Failed;
    if (::flock(descriptor, LOCK_EX | LOCK_NB) != 0) {
        const bool held = errno == EWOULDBLOCK;
        char text[32] = {};
        const ssize_t got = ::pread(descriptor, text, sizeof text - 1, 0);
        if (got > 0)
            holderPid = QByteArray(text, static_cast<qsizetype>(got)).trimmed().toLongLong();
        ::close(descriptor);
        return held ? Result::Held : Result::Failed;
    }
    // Without the number (a full disk) the lock still holds; a second editor names no process.
    const QByteArray pid = QByteArray::number(static_cast<qint64>(::getpid())) + '\n';
    [[maybe_unused]] const bool noted =
        ::ftruncate(descriptor, 0) == 0 &&
        ::pwrite(descriptor, pid.constData(), static_cast<size_t>(pid.size()), 0) == pid.size();
    fd = descriptor;
    return Result::Acquired;
}

void FolderLock::Release() {
    if (fd < 0)
        return;
    [[maybe_unused]] const int cleared = ::ftruncate(fd, 0);
    ::close(fd); // drops the lock
    fd = -1;
}

} // namespace vexa
