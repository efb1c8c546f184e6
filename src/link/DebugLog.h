#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <mutex>

namespace vexa {

// The link engine's text log "Debug.Log". The file is opened in its folder when the first
// line is written or Open() is called, and a run's lines start with "Create Log File" and
// the local time of the log's creation. Every text is followed by a line break; a text
// that already ends in one gets no second. Lines may come from any thread.
//
// Several programs may log into one folder at once (the editor and the command line):
// the log is opened for appending only, so every line lands at the end of the file and
// none over another, and each line goes out in one write, whole. The file is emptied at
// the start only when no other program has it open. Only a regular file is opened, without
// blocking, so a named pipe called Debug.Log cannot stall the program.
class DebugLog {
public:
    static constexpr const char* FileName = "Debug.Log";

    // folder: where Debug.Log goes; empty means the current directory.
    explicit DebugLog(QString folder = QString());
    ~DebugLog();

    void SetFolder(const QString& folder);
    QString FilePath() const;
    bool Open();
    void Write(const QString& text);
    void Close();

    // "%4d/%02d/%02d %02d:%02d:%02d /n" of a local time (the "/n" is part of the text).
    static QString TimeStamp(const QDateTime& time);
    // "%02X " per byte.
    static QString Hex(const QByteArray& bytes);

private:
    bool OpenLocked();
    void CloseLocked();

    mutable std::mutex mutex;
    QString folder;
    QDateTime created;
    int fd = -1;
    bool failed = false;
};

} // namespace vexa
