#pragma once

#include "link/SendInputs.h"

#include <QString>

namespace vexa {

// The words the family builders use to say what a frame carries: effect names of the
// model's effect list, on/off flags, the target sign.
struct FrameLabels {
    // "Left" for an index of the list; "effect 9" for one outside it.
    static QString Effect(int effectListSet, int index);
    static QString OnOff(int flag) { return flag != 0 ? QStringLiteral("on") : QStringLiteral("off"); }
    // "effect Left, speed 3, time 2, marquee off": what a header carries of a slot.
    static QString Attributes(const SendInputs& inputs, const SlotParams& slot);
    // ", sign 7" when the frame carries the ID, else nothing.
    static QString SignSuffix(bool addressed, int id);
};

} // namespace vexa
