#include "playback/PlaybackTiming.h"

#include <algorithm>
#include <array>

namespace vexa {

namespace {

// Speed "1" moves about six columns a second, "8" fifty.
constexpr std::array<int, PlaybackTiming::SpeedCount> kStepMs = {160, 120, 90, 70, 50, 40, 30, 20};

} // namespace

int PlaybackTiming::StepMs(int speed) {
    return kStepMs[static_cast<size_t>(std::clamp(speed, 0, SpeedCount - 1))];
}

int PlaybackTiming::HoldMs(int time) {
    return std::clamp(time, 0, TimeCount - 1) * 1000;
}

int PlaybackTiming::NeededHold(int time) {
    const int hold = HoldMs(time);
    return hold > 0 ? hold : NeededHoldMs;
}

} // namespace vexa
