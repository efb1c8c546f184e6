#pragma once

namespace vexa {

// How long a sign takes for each step of an effect. The signs' firmware does not tell its
// timing; these tables are our approximation of it, kept in this one place. Every duration
// is a whole number of centiseconds, so that GIF files keep them exactly.
class PlaybackTiming {
public:
    static constexpr int SpeedCount = 8; // speed items "1" (slowest) to "8" (fastest)
    static constexpr int TimeCount = 6;  // time items "0s" to "5s"
    // What an effect that must hold its page holds it for when the time is 0 s.
    static constexpr int NeededHoldMs = 1000;
    // On and off phases of a blinking page.
    static constexpr int BlinkPhaseMs = 250;
    // Steps in which snow fills a page.
    static constexpr int SnowSteps = 8;
    // Steps of the row's speed that one frame of an animation stays.
    static constexpr int AnimationStepsPerFrame = 5;

    // Milliseconds of one step (one column, one row, one snow or opening step) for a speed
    // index 0..7; indexes outside are taken as the nearest one.
    static int StepMs(int speed);
    // Seconds of the time index 0..5, in milliseconds (0 for "0s"); outside as the nearest.
    static int HoldMs(int time);
    // The hold of an effect that always holds its page: the time, or one second for "0s".
    static int NeededHold(int time);
    // How long one frame of a two-frame animation stays.
    static int AnimationFrameMs(int speed) { return StepMs(speed) * AnimationStepsPerFrame; }
};

} // namespace vexa
