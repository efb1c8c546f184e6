#include "store/AtomicFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vexa {

namespace {

const char kTempInfix[] = ".tmp-";
constexpr int kTempSuffixLength = 6; // the XXXXXX of mkstemp
constexpr int kMaxLinkHops = 40;     // the system's own limit on nested links
constexpr int kCreateAttempts = 8;

QString SystemReason(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

bool WriteAll(int fd, const QByteArray& bytes) {
    const char* data = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, data, static_cast<size_t>(left));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (n == 0)
                errno = ENOSPC;
            return false;
        }
        data += n;
        left -= n;
    }
    return true;
}

// Permissions of the file being replaced, or the usual ones for a new file.
mode_t ModeFor(const struct stat* existing) {
    return existing ? existing->st_mode & 07777 : 0644;
}

// 0 when a file that exists at target may be replaced, else the reason's errno.
int ReplaceRefusal(const QByteArray& target, const struct stat& st) {
    if (S_ISDIR(st.st_mode))
        return EISDIR;
    if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) // marked read-only, even for root
        return EACCES;
    if (::access(target.constData(), W_OK) != 0)
        return errno;
    return 0;
}

bool IsOurTemporary(const QString& name, const QString& base) {
    const QString prefix = base + QLatin1String(kTempInfix);
    return name.size() == prefix.size() + kTempSuffixLength && name.startsWith(prefix);
}

// True when path still names the file open as fd.
bool StillNamed(int fd, const QByteArray& path) {
    struct stat held {
    }, named{};
    return ::fstat(fd, &held) == 0 && ::lstat(path.constData(), &named) == 0 && named.st_ino == held.st_ino &&
           named.st_dev == held.st_dev;
}

// A temporary nobody holds locked was left by a writer that died. The lock is held while
// it is unlinked, and a writer checks after locking that its temporary still has its name,
// so a live writer's file is never taken.
bool RemoveIfStale(const QByteArray& path) {
    const int fd = ::open(path.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat st {};
    bool removed = false;
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0 &&
        StillNamed(fd, path))
        removed = ::unlink(path.constData()) == 0;
    ::close(fd);
    return removed;
}

// Creates and locks a temporary beside target; -1 with errno set when it cannot.
int CreateLockedTemporary(const QByteArray& target, QByteArray* temp) {
    for (int attempt = 0; attempt < kCreateAttempts; ++attempt) {
        *temp = target + kTempInfix + QByteArray(kTempSuffixLength, 'X');
        const int fd = ::mkostemp(temp->data(), O_CLOEXEC);
        if (fd < 0)
            return -1;
        if (::flock(fd, LOCK_EX) == 0 && StillNamed(fd, *temp))
            return fd;
        ::close(fd); // a cleaner took it between its creation and the lock
    }
    errno = EAGAIN;
    return -1;
}

} // namespace

QString AtomicFile::WriteTarget(const QString& path) {
    QString current = path;
    for (int hop = 0; hop < kMaxLinkHops; ++hop) {
        const QFileInfo info(current);
        if (!info.isSymLink())
            return current;
        current = info.symLinkTarget();
    }
    return current;
}

int AtomicFile::RemoveStaleTemporaries(const QString& path) {
    const QFileInfo target(WriteTarget(path));
    const QString base = target.fileName();
    if (base.isEmpty())
        return 0;
    const QDir folder = target.absoluteDir();
    int removed = 0;
    const QStringList names = folder.entryList({base + QLatin1String(kTempInfix) + QStringLiteral("*")},
                                               QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& name : names) {
        if (IsOurTemporary(name, base) && RemoveIfStale(QFile::encodeName(folder.filePath(name))))
            ++removed;
    }
    return removed;
}

AtomicFile::Result AtomicFile::Write(const QString& path, const QByteArray& bytes, QString* errorText,
                                     Durability durability) {
    const auto fail = [&](Result result, int error) {
        if (errorText)
            *errorText = SystemReason(error);
        return result;
    };
    const QString resolved = WriteTarget(path);
    const QByteArray target = QFile::encodeName(resolved);
    struct stat st {};
    const bool exists = ::stat(target.constData(), &st) == 0;
    if (exists) {
        if (const int refusal = ReplaceRefusal(target, st))
            return fail(Result::CannotCreate, refusal);
    }
    RemoveStaleTemporaries(resolved);

    // The lock tells a cleaner that this temporary is still being written.
    QByteArray temp;
    const int fd = CreateLockedTemporary(target, &temp);
    if (fd < 0)
        return fail(Result::CannotCreate, errno);
    ::fchmod(fd, ModeFor(exists ? &st : nullptr));
    int error = 0;
    const auto sync = [&] { return durability == Durability::Regenerable || ::fsync(fd) == 0; };
    if (!WriteAll(fd, bytes) || !sync() || ::rename(temp.constData(), target.constData()) != 0)
        error = errno;
    if (::close(fd) != 0 && error == 0)
        error = errno;
    if (error != 0) {
        ::unlink(temp.constData()); // gone already when the rename succeeded
        return fail(Result::WriteFailed, error);
    }
    return Result::Ok;
}

} // namespace vexa
