#pragma once

#include "link/SerialSettings.h"

#include <QtGlobal>
#include <chrono>

namespace vexa {

// A serial line that takes one byte every bits-per-byte / baud seconds: how long bytes
// need on it, and how many of the bytes queued are still on their way. Ports whose own
// count of queued output runs ahead of the line (a socket to a device server, a USB
// adapter with a FIFO of its own, a pseudo-terminal) report at least this backlog, so the
// pauses after a frame hold at the far end of the line. A dry run predicts a send's
// duration by the same rule.
class LinePacer {
public:
    using Clock = std::chrono::steady_clock;

    // Time bytes take on a line of these settings, in milliseconds.
    static double Milliseconds(qint64 bytes, const SerialSettings& settings);

    // The line is idle from now on.
    void Restart();
    // Bytes handed to the line now; they follow those still on their way.
    void Queue(qint64 bytes, const SerialSettings& settings);
    // Bytes queued that have not yet left the line.
    int Backlog(const SerialSettings& settings) const;

private:
    Clock::time_point lineFreeAt{};
};

} // namespace vexa
