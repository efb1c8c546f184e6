#include "link/DebugLog.h"

#include <QDir>

namespace vexa {

DebugLog::DebugLog(QString logFolder) : folder(std::move(logFolder)), created(QDateTime::currentDateTime()) {}

DebugLog::~DebugLog() {
    Close();
}

void DebugLog::SetFolder(const QString& logFolder) {
    std::lock_guard lock(mutex);
    if (file.isOpen())
        file.close();
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
    if (file.isOpen())
        return true;
    if (failed)
        return false;
    const QString dir = folder.isEmpty() ? QDir::currentPath() : folder;
    file.setFileName(QDir(dir).filePath(QString::fromLatin1(FileName)));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text)) {
        failed = true; // a read-only folder must not cost a retry per frame
        return false;
    }
    file.write("Create Log File\n");
    file.write(TimeStamp(created).toLatin1() + '\n');
    file.flush();
    return true;
}

void DebugLog::Write(const QString& text) {
    std::lock_guard lock(mutex);
    if (!OpenLocked())
        return;
    QByteArray line = text.toUtf8();
    if (!line.endsWith('\n'))
        line += '\n';
    file.write(line);
    file.flush();
}

void DebugLog::Close() {
    std::lock_guard lock(mutex);
    if (file.isOpen())
        file.close();
}

} // namespace vexa
