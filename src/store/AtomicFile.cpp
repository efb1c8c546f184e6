#include "store/AtomicFile.h"

#include "store/RegularFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vexa {

namespace {

const char kTempPrefix[] = ".vexa-tmp-";
constexpr int kTempSuffixLength = 6; // the XXXXXX of mkstemp
// The permission bits of a temporary while it is written (the owner may write, nobody may
// read): what no user's file has, together with the name and no lock held.
constexpr mode_t kWritingMode = S_IWUSR;
constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
constexpr int kMaxLinkHops = 40; // the system's own limit on nested links
constexpr int kCreateAttempts = 8;

QString SystemReason(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
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

// True when path still names the file open as fd.
bool StillNamed(int fd, const QByteArray& path) {
    struct stat held {
    }, named{};
    return ::fstat(fd, &held) == 0 && ::lstat(path.constData(), &named) == 0 && named.st_ino == held.st_ino &&
           named.st_dev == held.st_dev;
}

// The last letter of a temporary's name checks the letters before it. A writer that dies
// between giving its temporary the target's permission bits and the rename leaves a file
// that only this letter still tells from a user's file of a look-alike name.
char CheckLetter(QByteArrayView head) {
    quint32 sum = 7;
    for (const char c : head)
        sum = sum * 31 + static_cast<unsigned char>(c);
    return kLetters[sum % (sizeof kLetters - 1)];
}

bool HasCheckLetter(const QByteArray& path) {
    const QByteArray suffix = path.right(kTempSuffixLength);
    return suffix.size() == kTempSuffixLength &&
           suffix.back() == CheckLetter(QByteArrayView(suffix).first(kTempSuffixLength - 1));
}

// A temporary of ours that nobody holds locked was left by a writer that died. The lock is
// held while it is unlinked, and a writer checks after locking that its temporary still
// has its name, so a live writer's file is never taken.
bool RemoveIfStale(const QByteArray& path) {
    const int fd = ::open(path.constData(), O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat st {};
    bool removed = false;
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) &&
        ((st.st_mode & 07777) == kWritingMode || HasCheckLetter(path)) && st.st_uid == ::geteuid() &&
        ::flock(fd, LOCK_EX | LOCK_NB) == 0 && StillNamed(fd, path))
        removed = ::unlink(path.constData()) == 0;
    ::close(fd);
    return removed;
}

// Creates and locks a temporary in folder, born with the permission bits of one being
// written; -1 with errno set when it cannot.
int CreateLockedTemporary(const QByteArray& folder, QByteArray* temp) {
    for (int attempt = 0; attempt < kCreateAttempts; ++attempt) {
        QByteArray name(kTempSuffixLength, 'x');
        for (char& c : name)
            c = kLetters[QRandomGenerator::system()->bounded(static_cast<int>(sizeof kLetters - 1))];
        name.back() = CheckLetter(QByteArrayView(name).first(kTempSuffixLength - 1));
        *temp = folder + '/' + kTempPrefix + name;
        const int fd =
            ::open(temp->constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, kWritingMode);
        if (fd < 0) {
            if (errno == EEXIST)
                continue;
            return -1;
        }
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

bool AtomicFile::IsTemporaryName(const QString& fileName) {
    const QLatin1StringView prefix(kTempPrefix);
    if (fileName.size() != prefix.size() + kTempSuffixLength || !fileName.startsWith(prefix))
        return false;
    for (qsizetype i = prefix.size(); i < fileName.size(); ++i) {
        const char16_t c = fileName.at(i).unicode();
        if (!((c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9')))
            return false;
    }
    return true;
}

int AtomicFile::RemoveStaleTemporaries(const QString& path) {
    const QDir folder = QFileInfo(WriteTarget(path)).absoluteDir();
    int removed = 0;
    const QStringList names = folder.entryList({QLatin1String(kTempPrefix) + QStringLiteral("*")},
                                               QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& name : names) {
        if (IsTemporaryName(name) && RemoveIfStale(QFile::encodeName(folder.filePath(name))))
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
    const int fd = CreateLockedTemporary(QFile::encodeName(QFileInfo(resolved).absolutePath()), &temp);
    if (fd < 0)
        return fail(Result::CannotCreate, errno);
    int error = 0;
    const auto sync = [&] { return durability == Durability::Regenerable || ::fsync(fd) == 0; };
    // The target's permission bits come last: until the rename the file is known as a temporary.
    if (!RegularFile::WriteAll(fd, bytes) || !sync() || ::fchmod(fd, ModeFor(exists ? &st : nullptr)) != 0 ||
        ::rename(temp.constData(), target.constData()) != 0)
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
