#include "store/CIdList.h"

namespace vexa {

namespace {
const QString kIdList = QStringLiteral("IDLIST");

quint32 ToMask(int value) {
    return static_cast<quint32>(value);
}
int FromMask(quint32 mask) {
    return static_cast<int>(mask);
}
} // namespace

CIdList::CIdList(QString path) {
    file.filePath = std::move(path);
}

void CIdList::Clear() {
    groupNames.fill(QString());
    entries.fill(Entry());
    groupCheck = 0;
}

QString CIdList::Truncated(const QString& name) {
    return name.size() > MaxNameLength ? name.left(MaxNameLength) : name;
}

bool CIdList::LoadIdList() {
    if (!file.LoadFile())
        return false;
    ReadModel();
    for (Entry& e : entries)
        e.scanState = 0;
    return true;
}

void CIdList::ReadModel() {
    groupCheck = ToMask(file.GetInteger(kIdList, QStringLiteral("GROUP_CHECK")));
    for (int k = 1; k <= GroupCount; ++k)
        groupNames[static_cast<size_t>(k - 1)] =
            Truncated(file.GetText(kIdList, QStringLiteral("GROUP%1NAME").arg(k)));
    for (int d = 1; d <= MaxId; ++d) {
        Entry& e = entries[static_cast<size_t>(d)];
        e.name = Truncated(file.GetText(kIdList, QStringLiteral("LEDID%1").arg(d)));
        e.checkMask = ToMask(file.GetInteger(kIdList, QStringLiteral("LEDID%1_CHECK").arg(d)));
        e.groupMask = ToMask(file.GetInteger(kIdList, QStringLiteral("LEDID%1_GROUP").arg(d)));
    }
}

bool CIdList::SaveIdList() {
    file.PutInteger(kIdList, QStringLiteral("GROUP_CHECK"), FromMask(groupCheck), true);
    for (int k = 1; k <= GroupCount; ++k)
        file.PutText(kIdList, QStringLiteral("GROUP%1NAME").arg(k), groupNames[static_cast<size_t>(k - 1)],
                     true);
    for (int d = 1; d <= MaxId; ++d) {
        const Entry& e = entries[static_cast<size_t>(d)];
        file.PutText(kIdList, QStringLiteral("LEDID%1").arg(d), e.name, true);
        file.PutInteger(kIdList, QStringLiteral("LEDID%1_CHECK").arg(d), FromMask(e.checkMask), true);
        file.PutInteger(kIdList, QStringLiteral("LEDID%1_GROUP").arg(d), FromMask(e.groupMask), true);
    }
    if (!file.SaveFile())
        return false;
    if (file.TookInChanges())
        ReadModel();
    return true;
}

QList<int> CIdList::TickedIds() const {
    QList<int> ids;
    for (int d = 1; d <= MaxId; ++d) {
        const Entry& e = entries[static_cast<size_t>(d)];
        if (e.groupMask != 0 && e.checkMask != 0)
            ids.append(d);
    }
    return ids;
}

} // namespace vexa
