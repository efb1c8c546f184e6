#include "link/GroupSendModel.h"

#include "link/SignLink.h"
#include "store/CIdList.h"
#include "store/SystemSettings.h"

namespace vexa {

namespace {

constexpr int CharsPerId = 4;

QList<GroupSendModel::Child> FromSettings(SystemSettings& settings, int count, const QString& ids) {
    QList<GroupSendModel::Child> children;
    for (int b = 0; b < count && (b + 1) * CharsPerId <= ids.size(); ++b) {
        bool ok = false;
        const int id = ids.mid(b * CharsPerId, CharsPerId).trimmed().toInt(&ok);
        if (!ok)
            continue;
        children.append({id, QStringLiteral("%1.%2").arg(id).arg(settings.LedIdName(id)), true});
    }
    return children;
}

} // namespace

QList<GroupSendModel::Child> GroupSendModel::Children(SystemSettings& settings, const CIdList& list) {
    const int count = settings.LedIdNum();
    const QString ids = settings.LedIdStr();
    if (count > 0 && !ids.isEmpty())
        return FromSettings(settings, count, ids);
    QList<Child> children;
    for (int id = 1; id <= CIdList::MaxId; ++id) {
        const CIdList::Entry& entry = list.entries[static_cast<size_t>(id)];
        if ((entry.groupMask & 1u) == 0)
            continue;
        children.append({id, QStringLiteral("%1.%2").arg(id).arg(entry.name), (entry.checkMask & 1u) != 0});
    }
    return children;
}

int GroupSendModel::IdOfText(const QString& text) {
    const qsizetype stop = text.indexOf(QLatin1Char('.'));
    if (stop < 0)
        return 0;
    bool ok = false;
    const int id = text.left(stop).toInt(&ok);
    return ok ? id : 0;
}

void GroupSendModel::HandToLink(SignLink& link, const QList<int>& ids, int operation) {
    link.groupCount = static_cast<int>(std::min<qsizetype>(ids.size(), SignLink::MaxGroupIds));
    for (int i = 0; i < link.groupCount; ++i)
        link.groupIds[static_cast<size_t>(i)] = ids[i];
    link.groupOperation = operation;
}

} // namespace vexa
