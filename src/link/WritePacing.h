#pragma once

#include <algorithm>
#include <cmath>

namespace vexa {

// The link engine's own timing around every frame it writes: it checks the port's output
// count right after the write and then every poll period until the frame has left, then
// holds the settle time, the short pause of models below 16 rows and the frame's pause in
// one sleep. The engine follows these rules and a dry run predicts by them.
struct WritePacing {
    static constexpr int SettleMs = 10;
    static constexpr int ShortPauseMs = 20; // after every frame of a model below 16 rows

    static int PauseAfterFrameMs(int rows, int pauseAfterMs) {
        return SettleMs + (rows != 16 ? ShortPauseMs : 0) + std::max(0, pauseAfterMs);
    }
    // How long the engine waits for a frame that needs lineMs on the line: until the first
    // check of the output count at or after that time.
    static int WaitMs(double lineMs, int pollMs) {
        if (lineMs <= 0 || pollMs <= 0)
            return 0;
        return static_cast<int>(std::ceil(lineMs / pollMs)) * pollMs;
    }
};

} // namespace vexa
