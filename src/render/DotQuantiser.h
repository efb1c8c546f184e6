#pragma once

#include <QtGlobal>
#include <initializer_list>
#include <span>
#include <vector>

namespace vexa {

// How levels become lit and dark dots.
enum class DotMethod {
    Threshold,      // lit above a level
    FloydSteinberg, // error diffusion: the share of lit dots follows the level of an area
    Ordered,        // a 4 x 4 Bayer pattern: regular, with no crawling dots in a series of pictures
};

// Turns planes of 8-bit levels (0 dark .. 255 full light) into dots.
class DotQuantiser {
public:
    // The level halfway between dark and full light: dots above it are lit.
    static constexpr int MiddleLevel = 127;

    // The level that best splits the levels of the planes into a dark and a light group
    // (Otsu's method: the largest variance between the groups); where a range of levels does
    // so equally, its middle. MiddleLevel when every level is the same.
    static int OtsuLevel(std::initializer_list<std::span<const quint8>> planes);

    // Replaces each level of the plane (rows of width levels) by 1 for a lit dot or 0. The
    // level is the threshold's; the dithering methods light dots in proportion to the levels.
    static void Quantise(std::vector<quint8>& plane, int width, DotMethod method, int level);
};

} // namespace vexa
