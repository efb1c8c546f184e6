#include "link/LinePacer.h"

#include <algorithm>
#include <cmath>

namespace vexa {

double LinePacer::Milliseconds(qint64 bytes, const SerialSettings& settings) {
    if (bytes <= 0 || settings.baud <= 0)
        return 0;
    return static_cast<double>(bytes) * settings.BitsPerByte() * 1000.0 / settings.baud;
}

void LinePacer::Restart() {
    lineFreeAt = Clock::now();
}

void LinePacer::Queue(qint64 bytes, const SerialSettings& settings) {
    const Clock::time_point now = Clock::now();
    lineFreeAt = std::max(lineFreeAt, now) +
                 std::chrono::duration_cast<Clock::duration>(
                     std::chrono::duration<double, std::milli>(Milliseconds(bytes, settings)));
}

int LinePacer::Backlog(const SerialSettings& settings) const {
    const std::chrono::duration<double> left = lineFreeAt - Clock::now();
    if (left.count() <= 0 || settings.baud <= 0)
        return 0;
    return static_cast<int>(std::ceil(left.count() * settings.baud / settings.BitsPerByte()));
}

} // namespace vexa
