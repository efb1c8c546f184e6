#pragma once

#include <QByteArray>
#include <vector>

namespace vexa {

// One step of a wire sequence: a frame to write (possibly empty: a pause alone) and the
// pause that follows once the frame has left the port. progress is the percent the engine
// reports with this frame's write (-1 keeps the previous value).
struct FrameStep {
    QByteArray bytes;
    int pauseAfterMs = 0;
    int progress = -1;

    friend bool operator==(const FrameStep&, const FrameStep&) = default;
};

using FrameSequence = std::vector<FrameStep>;

} // namespace vexa
