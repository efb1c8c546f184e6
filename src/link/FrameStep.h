#pragma once

#include <QByteArray>
#include <QString>
#include <vector>

namespace vexa {

// One step of a wire sequence: a frame to write (possibly empty: a pause alone) and the
// pause that follows once the frame has left the port. progress is the percent the engine
// reports with this frame's write (-1 keeps the previous value). label says what the frame
// is, in the words of its family's builder ("slot 2 page 1 of 3"); the engine ignores it,
// a dry run prints it.
struct FrameStep {
    QByteArray bytes;
    int pauseAfterMs = 0;
    int progress = -1;
    QString label;

    // Steps are equal when they put the same on the wire; the label is no part of that.
    friend bool operator==(const FrameStep& a, const FrameStep& b) {
        return a.bytes == b.bytes && a.pauseAfterMs == b.pauseAfterMs && a.progress == b.progress;
    }
};

using FrameSequence = std::vector<FrameStep>;

} // namespace vexa
