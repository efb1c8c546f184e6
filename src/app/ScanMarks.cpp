#include "app/ScanMarks.h"

#include "store/CIdList.h"

#include <QStringList>

namespace vexa {

void ScanMarks::Take(const CIdList& list) {
    answered.clear();
    for (int id = 1; id <= CIdList::MaxId; ++id) {
        if (list.entries[static_cast<size_t>(id)].scanState == 1)
            answered.append(id);
    }
    scanned = true;
}

void ScanMarks::Clear() {
    answered.clear();
    scanned = false;
}

ScanMarks::Mark ScanMarks::For(int id) const {
    if (!scanned)
        return Mark::None;
    return answered.contains(id) ? Mark::Answered : Mark::NoAnswer;
}

QString ScanMarks::Summary() const {
    if (!scanned)
        return {};
    if (answered.isEmpty())
        return QStringLiteral("No sign answered.");
    QStringList ids;
    for (int id : answered)
        ids << QString::number(id);
    const QString count =
        answered.size() == 1 ? QStringLiteral("1 sign") : QStringLiteral("%1 signs").arg(answered.size());
    return QStringLiteral("%1 answered: %2").arg(count, ids.join(QStringLiteral(", ")));
}

QString ScanMarks::MarkText(Mark mark) {
    switch (mark) {
    case Mark::Answered:
        return QStringLiteral("answered the scan");
    case Mark::NoAnswer:
        return QStringLiteral("no answer to the scan");
    case Mark::None:
        break;
    }
    return {};
}

} // namespace vexa
