#include "link/families/FrameLabels.h"

#include "core/ModelCatalogue.h"

namespace vexa {

QString FrameLabels::Effect(int effectListSet, int index) {
    const QStringList names = ModelCatalogue::EffectNames(effectListSet);
    if (index >= 0 && index < names.size())
        return names.at(index);
    return QStringLiteral("effect %1").arg(index);
}

QString FrameLabels::Attributes(const SendInputs& inputs, const SlotParams& slot) {
    return QStringLiteral("effect %1, speed %2, time %3, marquee %4")
        .arg(Effect(inputs.effectListSet, slot.effect))
        .arg(slot.speed)
        .arg(slot.holdTime)
        .arg(OnOff(slot.marquee));
}

QString FrameLabels::SignSuffix(bool addressed, int id) {
    return addressed ? QStringLiteral(", sign %1").arg(id & 0xFF) : QString();
}

} // namespace vexa
