#pragma once

#include <QDateTime>
#include <QFile>
#include <QString>
#include <mutex>

namespace vexa {

// The link engine's text log "Debug.Log". The file is created (truncated) in its folder
// when the first line is written or Open() is called, and starts with "Create Log File"
// and the local time of the log's creation. Every text is followed by a line break; a
// text that already ends in one gets no second. Lines may come from any thread.
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

    mutable std::mutex mutex;
    QString folder;
    QDateTime created;
    QFile file;
    bool failed = false;
};

} // namespace vexa
