#pragma once

#include "DotImage.h"

namespace vexa::datagen {

// Draws the faces and symbols of the 12- and 16-row signs. Every picture is designed on
// a 16-unit grid and scaled to the sign height, so both sizes show the same design.
class FaceDrawings {
public:
    static constexpr int kCount = 32;

    // Frame 0 or 1 of animation n at the given height (12 or 16 rows); an empty image
    // for anything else.
    static DotImage Draw(int n, int frame, int height);
};

} // namespace vexa::datagen
