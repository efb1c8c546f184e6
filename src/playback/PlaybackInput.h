#pragma once

#include "playback/RowSettings.h"

#include <QImage>
#include <array>

namespace vexa {

// What the playback of one row starts from: the row's exported frames as the packer
// receives them (frame 1 null for a still message), widened to the columns the sign
// receives, and the row's settings as the sign receives them.
struct PlaybackInput {
    int row = 0;
    std::array<QImage, 2> frames;
    RowSettings settings;
};

} // namespace vexa
