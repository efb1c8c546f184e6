#pragma once

#include "playback/IndexedAnimation.h"

#include <QByteArray>

namespace vexa {

// Writes an animated GIF (GIF89a): one global colour table, every frame whole, delays in
// hundredths of a second (rounded so that the total stays exact), LZW-compressed. Qt reads
// GIF but has no writer.
class GifEncoder {
public:
    // An empty result with error set when the animation cannot be written.
    static QByteArray Encode(const IndexedAnimation& animation, QString* error);
    // The LZW image data of one frame's pixel indexes (code size byte, sub-blocks, end).
    static QByteArray CompressPixels(const QByteArray& indexes, int minCodeSize);
};

} // namespace vexa
