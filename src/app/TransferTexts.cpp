#include "app/TransferTexts.h"

namespace vexa {

QString TransferTexts::SelectPortFirst(int language) {
    if (language == 1)
        return QStringLiteral("请先选择串口!");
    if (language == 2)
        return QStringLiteral("請先選擇串口!");
    return QStringLiteral("please select a COM Port !");
}

QString TransferTexts::WaitText(int language, int id, int total, int last) {
    QString setting = QStringLiteral("Setting"), totalWord = QStringLiteral("Total"), lastWord = QStringLiteral("Last");
    if (language == 1) {
        setting = QStringLiteral("设置");
        totalWord = QStringLiteral("总数量");
        lastWord = QStringLiteral("待设置数量");
    } else if (language == 2) {
        setting = QStringLiteral("設置");
        totalWord = QStringLiteral("總數量");
        lastWord = QStringLiteral("待設置數量");
    }
    return QStringLiteral("%1 ID：%2，%3:%4，%5:%6").arg(setting).arg(id).arg(totalWord).arg(total).arg(lastWord).arg(last);
}

} // namespace vexa
