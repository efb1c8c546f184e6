#include "app/SendQueue.h"

#include "store/CIdList.h"

namespace vexa {

bool SendQueue::Start(const CIdList& list) {
    ids = list.TickedIds();
    index = 0;
    return !ids.isEmpty();
}

void SendQueue::Clear() {
    ids.clear();
    index = 1;
}

bool SendQueue::Advance() {
    ++index;
    return !Finished();
}

QString SendQueue::WaitText(int language) const {
    QString setting = QStringLiteral("Setting"), total = QStringLiteral("Total"), last = QStringLiteral("Last");
    if (language == 1) {
        setting = QStringLiteral("设置");
        total = QStringLiteral("总数量");
        last = QStringLiteral("待设置数量");
    } else if (language == 2) {
        setting = QStringLiteral("設置");
        total = QStringLiteral("總數量");
        last = QStringLiteral("待設置數量");
    }
    return QStringLiteral("%1 ID：%2，%3:%4，%5:%6")
        .arg(setting)
        .arg(CurrentId())
        .arg(total)
        .arg(Count())
        .arg(last)
        .arg(Count() - index);
}

} // namespace vexa
