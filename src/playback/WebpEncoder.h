#pragma once

#include "playback/IndexedAnimation.h"

#include <QByteArray>
#include <QString>

namespace vexa {

// Writes an animated WebP when Qt's image plugins can write WebP: every frame is encoded
// losslessly by Qt's writer, and its bitstream is placed in an animation frame (ANMF)
// of the container Qt cannot write itself.
class WebpEncoder {
public:
    static bool Available();
    static QByteArray Encode(const IndexedAnimation& animation, QString* error);
};

} // namespace vexa
