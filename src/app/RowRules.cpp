#include "app/RowRules.h"

#include "store/CMessageTable.h"

namespace vexa {

RowEnabling RowRules::EnablingFor(const DisplayModel* model, int modelRows, int kind) {
    RowEnabling e;
    e.blink = modelRows != 16;
    if (kind == CMessageTable::KindEmpty)
        return e;
    e.send = e.marquee = e.rightToLeft = e.effect = e.speed = true;
    e.time = model ? model->timeBoxesUsable : true;
    return e;
}

QString RowRules::ContentCaption(int kind, bool hasClock) {
    const QStringList items = ModelCatalogue::ContentItems(hasClock);
    const int index = kind - 1; // item 20091 is the first entry
    return index >= 0 && index < items.size() ? items[index] : QString();
}

QString RowRules::EffectCaption(int effect, int effectListSet) {
    const QStringList names = ModelCatalogue::EffectNames(effectListSet);
    return effect >= 0 && effect < names.size() ? names[effect] : QString();
}

QStringList RowRules::SpeedItems() {
    QStringList items;
    for (int i = 1; i <= 8; ++i)
        items << QString::number(i);
    return items;
}

QStringList RowRules::TimeItems() {
    QStringList items;
    for (int i = 0; i <= 5; ++i)
        items << QStringLiteral("%1s").arg(i);
    return items;
}

} // namespace vexa
