#include "store/RegularFile.h"

#include <QFile>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vexa {

namespace {

QString Because(const QString& path, const QString& why) {
    return QStringLiteral("%1: %2").arg(path, why);
}

QString SystemText(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

// Opens with flags | O_NONBLOCK and keeps the descriptor only for a regular file.
int OpenRegular(const QString& path, int flags, QString* reason) {
    const int fd =
        ::open(QFile::encodeName(path).constData(), flags | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0644);
    if (fd < 0) {
        if (reason)
            *reason = Because(path, SystemText(errno));
        return -1;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        const bool folder = S_ISDIR(st.st_mode);
        ::close(fd);
        if (reason)
            *reason = Because(path, folder ? SystemText(EISDIR) : QStringLiteral("not a regular file"));
        errno = folder ? EISDIR : EINVAL;
        return -1;
    }
    return fd;
}

} // namespace

int RegularFile::OpenForReading(const QString& path, QString* reason) {
    return OpenRegular(path, O_RDONLY, reason);
}

bool RegularFile::Open(QFile& file, const QString& path, QString* reason) {
    const int fd = OpenForReading(path, reason);
    if (fd < 0)
        return false;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        if (reason)
            *reason = Because(path, file.errorString());
        return false;
    }
    return true;
}

RegularFile::Status RegularFile::ReadAll(const QString& path, qint64 maxBytes, QByteArray* bytes,
                                         QString* reason) {
    bytes->clear();
    const int fd = OpenForReading(path, reason);
    if (fd < 0)
        return Status::CannotOpen;
    const auto tooLarge = [&](qint64 size) {
        ::close(fd);
        bytes->clear();
        if (reason)
            *reason = Because(path, QStringLiteral("%1 bytes long; files above %2 MiB are not read")
                                        .arg(size)
                                        .arg(maxBytes / (1024 * 1024)));
        return Status::TooLarge;
    };
    struct stat st {};
    ::fstat(fd, &st);
    if (st.st_size > maxBytes)
        return tooLarge(st.st_size);
    // One byte more than the size said, so the end of the file is seen without growing.
    bytes->resize(static_cast<qsizetype>(st.st_size) + 1);
    qsizetype filled = 0;
    for (;;) {
        if (filled == bytes->size()) {
            if (filled > maxBytes)
                return tooLarge(filled); // the file grew while it was read
            bytes->resize(filled + 65536);
        }
        const ssize_t got = ::read(fd, bytes->data() + filled, static_cast<size_t>(bytes->size() - filled));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            const int error = errno;
            ::close(fd);
            bytes->clear();
            if (reason)
                *reason = Because(path, SystemText(error));
            return Status::CannotOpen;
        }
        if (got == 0)
            break;
        filled += got;
    }
    ::close(fd);
    bytes->truncate(filled);
    return Status::Ok;
}

bool RegularFile::WriteAll(int fd, QByteArrayView bytes) {
    const char* data = bytes.data();
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

int RegularFile::OpenForAppending(const QString& path, QString* reason) {
    return OpenRegular(path, O_WRONLY | O_APPEND | O_CREAT, reason);
}

} // namespace vexa
