#include "link/DebugLog.h"

#include "store/RegularFile.h"

#include <QDir>
#include <sys/file.h>
#include <unistd.h>

namespace vexa {

DebugLog::DebugLog(QString logFolder) : folder(std::move(logFolder)), created(QDateTime::currentDateTime()) {}

DebugLog::~DebugLog() {
    Close();
}

void DebugLog::SetFolder(const QString& logFolder) {
    std::lock_guard lock(mutex);
    CloseLocked();
    folder = logFolder;
    failed = false;
}

QString DebugLog::FilePath() const {
    std::lock_guard lock(mutex);
    const QString dir = folder.isEmpty() ? QDir::currentPath() : folder;
    return QDir(dir).filePath(QString::fromLatin1(FileName));
}

QString DebugLog::TimeStamp(const QDateTime& t) {
    const QDate d = t.date();
    const QTime c = t.time();
    return QString::asprintf("%4d/%02d/%02d %02d:%02d:%02d /n", d.year(), d.month(), d.day(), c.hour(),
                             c.minute(), c.second());
}

QString DebugLog::Hex(const QByteArray& bytes) {
    QString text;
    text.reserve(bytes.size() * 3);
    for (const char b : bytes)
        text += QString::asprintf("%02X ", static_cast<unsigned char>(b));
    return text;
}

bool DebugLog::Open() {
    std::lock_guard lock(mutex);
    return OpenLocked();
}

bool DebugLog::OpenLocked() {
    if (fd >= 0)
        return true;
    if (failed)
        return false;
    const QString dir = folder.isEmpty() ? QDir::currentPath() : folder;
    fd = RegularFile::OpenForAppending(QDir(dir).filePath(QString::fromLatin1(FileName)));
    if (fd < 0) {
        failed = true; // a read-only folder must not cost a retry per frame
        return false;
    }
    // A shared lock, held while the log is open, tells other programs it is in use: the
    // first one empties the file, later ones add to it.
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
        [[maybe_unused]] const int emptied = ::ftruncate(fd, 0);
    }
    ::flock(fd, LOCK_SH | LOCK_NB);
    RegularFile::WriteAll(fd, "Create Log File\n" + TimeStamp(created).toLatin1() + '\n');
    return true;
}

void DebugLog::Write(const QString& text) {
    std::lock_guard lock(mutex);
    if (!OpenLocked())
        return;
    QByteArray line = text.toUtf8();
    if (!line.endsWith('\n'))
        line += '\n';
    // One write per line: with O_APPEND the system puts it whole at the end of the file.
    RegularFile::WriteAll(fd, line);
}

void DebugLog::CloseLocked() {
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}

void DebugLog::Close() {
    std::lock_guard lock(mutex);
    CloseLocked();
}

} // namespace vexa
