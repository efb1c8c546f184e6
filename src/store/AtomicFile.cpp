#include "store/AtomicFile.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vexa {

namespace {

bool WriteAll(int fd, const QByteArray& bytes) {
    const char* data = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, data, static_cast<size_t>(left));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        left -= n;
    }
    return true;
}

// Permissions of the file being replaced, or the usual ones for a new file.
mode_t ModeFor(const QByteArray& target) {
    struct stat st {};
    if (::stat(target.constData(), &st) == 0)
        return st.st_mode & 07777;
    return 0644;
}

} // namespace

AtomicFile::Result AtomicFile::Write(const QString& path, const QByteArray& bytes, QString* errorText,
                                     Durability durability) {
    const QByteArray target = QFile::encodeName(path);
    QByteArray temp = target + ".tmp-XXXXXX";
    const int fd = ::mkstemp(temp.data());
    if (fd < 0) {
        if (errorText)
            *errorText = QString::fromLocal8Bit(std::strerror(errno));
        return Result::CannotCreate;
    }
    ::fchmod(fd, ModeFor(target));
    bool ok = WriteAll(fd, bytes);
    const int writeErrno = errno;
    ok = ok && (durability == Durability::Regenerable || ::fsync(fd) == 0);
    ok = (::close(fd) == 0) && ok;
    ok = ok && ::rename(temp.constData(), target.constData()) == 0;
    if (!ok) {
        if (errorText)
            *errorText = QString::fromLocal8Bit(std::strerror(writeErrno ? writeErrno : errno));
        ::unlink(temp.constData());
        return Result::WriteFailed;
    }
    return Result::Ok;
}

} // namespace vexa
