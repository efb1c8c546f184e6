#include "app/TransferTexts.h"

namespace vexa {

QString TransferTexts::SelectPortFirst(int language) {
    if (language == 1)
        return QStringLiteral("请先选择串口!");
    if (language == 2)
        return QStringLiteral("請先選擇串口!");
    return QStringLiteral("please select a COM Port !");
}

QString TransferTexts::NoIdSelected(int language) {
    if (language == 1)
        return QStringLiteral("请至少选择一个ID？");
    if (language == 2)
        return QStringLiteral("請至少選擇一個ID？");
    return QStringLiteral("No ID selected?");
}

QString TransferTexts::DataOver(int language, int words) {
    if (language == 1)
        return QStringLiteral("数据超过%1个字, 将会丢弃!\r\n继续发送吗?").arg(words);
    if (language == 2)
        return QStringLiteral("數據超過%1個字, 將會丟棄!\r\n繼續發送嗎?").arg(words);
    return QStringLiteral("Data over %1 words, will be discard!\r\nContinue Send?").arg(words);
}

} // namespace vexa
