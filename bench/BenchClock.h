#pragma once

// What every benchmark measures with: the median of a set of rounds and the calling
// thread's CPU time, which a busy machine disturbs much less than the wall clock.

#include <algorithm>
#include <ctime>
#include <vector>

namespace vexa::bench {

inline double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

inline double ThreadCpuMs() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

} // namespace vexa::bench
