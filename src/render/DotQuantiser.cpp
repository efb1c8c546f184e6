#include "render/DotQuantiser.h"

#include <array>

namespace vexa {

namespace {

void Threshold(std::vector<quint8>& plane, int level) {
    for (quint8& value : plane)
        value = value > level ? 1 : 0;
}

// Floyd-Steinberg error diffusion in serpentine order (each line walked away from where the
// last one ended), so the error does not pile up along one edge. Errors are kept in
// sixteenths of a level.
void FloydSteinberg(std::vector<quint8>& plane, int width) {
    const int height = width > 0 ? int(plane.size() / size_t(width)) : 0;
    std::vector<int> current(size_t(width) + 2, 0), next(size_t(width) + 2, 0);
    for (int y = 0; y < height; ++y) {
        const bool leftwards = y % 2 == 1;
        const int step = leftwards ? -1 : 1;
        for (int i = 0; i < width; ++i) {
            const int x = leftwards ? width - 1 - i : i;
            quint8& dot = plane[size_t(y) * size_t(width) + size_t(x)];
            const int wanted = dot * 16 + current[size_t(x + 1)];
            const int shown = wanted > DotQuantiser::MiddleLevel * 16 + 8 ? 255 * 16 : 0;
            dot = shown != 0 ? 1 : 0;
            const int error = wanted - shown;
            const int ahead = error * 7 / 16, behindBelow = error * 3 / 16, below = error * 5 / 16;
            current[size_t(x + 1 + step)] += ahead;
            next[size_t(x + 1 - step)] += behindBelow;
            next[size_t(x + 1)] += below;
            next[size_t(x + 1 + step)] += error - ahead - behindBelow - below;
        }
        current.swap(next);
        std::fill(next.begin(), next.end(), 0);
    }
}

void Ordered(std::vector<quint8>& plane, int width) {
    static constexpr std::array<std::array<int, 4>, 4> kBayer{{
        {0, 8, 2, 10},
        {12, 4, 14, 6},
        {3, 11, 1, 9},
        {15, 7, 13, 5},
    }};
    for (size_t i = 0; i < plane.size(); ++i) {
        const size_t x = i % size_t(width), y = i / size_t(width);
        // Thresholds at the middle of sixteen equal steps of the level range, in 32nds.
        const int threshold = (2 * kBayer[y % 4][x % 4] + 1) * 255;
        plane[i] = plane[i] * 32 > threshold ? 1 : 0;
    }
}

} // namespace

int DotQuantiser::OtsuLevel(std::initializer_list<std::span<const quint8>> planes) {
    std::array<double, 256> histogram{};
    double count = 0, total = 0;
    for (std::span<const quint8> plane : planes) {
        for (quint8 value : plane)
            histogram[value] += 1;
        count += double(plane.size());
    }
    for (int level = 0; level < 256; ++level)
        total += level * histogram[size_t(level)];

    double best = -1, darkCount = 0, darkSum = 0;
    int firstBest = -1, lastBest = -1;
    for (int level = 0; level < 255; ++level) {
        darkCount += histogram[size_t(level)];
        darkSum += level * histogram[size_t(level)];
        const double lightCount = count - darkCount;
        if (darkCount == 0 || lightCount == 0)
            continue;
        const double difference = darkSum / darkCount - (total - darkSum) / lightCount;
        const double between = darkCount * lightCount * difference * difference;
        if (between > best * (1 + 1e-12)) {
            best = between;
            firstBest = lastBest = level;
        } else if (between >= best * (1 - 1e-12)) {
            lastBest = level;
        }
    }
    return firstBest < 0 ? MiddleLevel : (firstBest + lastBest) / 2;
}

void DotQuantiser::Quantise(std::vector<quint8>& plane, int width, DotMethod method, int level) {
    if (width <= 0)
        return;
    switch (method) {
    case DotMethod::Threshold:
        Threshold(plane, level);
        return;
    case DotMethod::FloydSteinberg:
        FloydSteinberg(plane, width);
        return;
    case DotMethod::Ordered:
        Ordered(plane, width);
        return;
    }
}

} // namespace vexa
