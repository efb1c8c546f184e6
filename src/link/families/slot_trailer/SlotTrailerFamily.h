#pragma once

#include "link/FrameStep.h"
#include "link/families/SendInputsAccess.h"

#include <QByteArray>
#include <QDateTime>

namespace vexa {

// Family 3: per slot the message's character bytes (when it has data) and a 12-byte trailer
// carrying slot, speed, effect and the send mark. The clock is ASCII time plus a trailer.
class SlotTrailerFamily {
public:
    static constexpr int TrailerSize = 12;
    static constexpr int TrailerPauseMs = 20;

    static FrameSequence Sequence(const SendInputs& inputs);
    static QByteArray MessageTrailer(int slot, const SlotParams& params);
    static QByteArray ClockFrame(const QDateTime& now);
    static FrameStep ClockStep(const QDateTime& now);
};

} // namespace vexa
