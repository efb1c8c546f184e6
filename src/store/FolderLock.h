#pragma once

#include <QString>

namespace vexa {

// One editor per work folder. The holder keeps the lock file ".editor-lock" in the folder
// locked for as long as it runs (the system drops the lock when the process ends, however
// it ends) and writes its process ID into it, so a second editor can say who holds the
// folder.
class FolderLock {
public:
    enum class Result {
        Acquired, // this process holds the folder now
        Held,     // another process holds it (HolderPid)
        Failed,   // no lock could be taken (a folder that cannot be written)
    };

    explicit FolderLock(QString folder);
    ~FolderLock();
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;

    Result Acquire();
    void Release();
    // The process ID the lock file names, after Held (0 when it names none).
    qint64 HolderPid() const { return holderPid; }
    QString Path() const;

    static constexpr const char* FileName = ".editor-lock";

private:
    QString folder;
    int fd = -1;
    qint64 holderPid = 0;
};

} // namespace vexa
