#pragma once

#include "store/CIniFile.h"

#include <QString>
#include <array>

namespace vexa {

// The sign list of WorkData/IDLIST.id: 255 signs indexed by ID (entry 0 unused),
// twelve group names and the ticked groups.
class CIdList {
public:
    static constexpr int MaxId = 255;
    static constexpr int GroupCount = 12;
    static constexpr int MaxNameLength = 255;

    struct Entry {
        QString name;
        quint32 groupMask = 0;
        quint32 checkMask = 0;
        quint32 scanState = 0; // 0 after loading, 2 while a scan runs, 1 when the sign answered
    };

    explicit CIdList(QString path = QString());

    CIniFile file;
    std::array<QString, GroupCount> groupNames;
    std::array<Entry, MaxId + 1> entries;
    quint32 groupCheck = 0;

    // False (model unchanged) when the file cannot be read.
    bool LoadIdList();
    // Writes the list. Only what changed goes to the file: signs another program stored
    // meanwhile are kept there and taken into the list. A file that is there but could
    // not be read is never written over (false, said once).
    bool SaveIdList();
    void Clear();

    // IDs 1..255 with a non-zero groupMask and a non-zero checkMask, ascending.
    QList<int> TickedIds() const;

    static QString Truncated(const QString& name);

private:
    // Names, masks and groups from the file's model; scan states stay.
    void ReadModel();
};

} // namespace vexa
