#pragma once

#include <QImage>
#include <QList>
#include <QSize>
#include <functional>
#include <vector>

namespace vexa {

// The frames of an animated picture before encoding: one palette for all of them, each
// frame an Indexed8 image of that palette, drawn when the encoder asks for it (so a long
// animation is never held in memory whole).
struct IndexedAnimation {
    QSize size;
    QList<QRgb> palette;          // opaque colours, at most 256
    int loops = 0;                // times the animation plays; 0 = forever
    std::vector<int> durationsMs; // one per frame
    std::function<QImage(int index)> frame;

    int FrameCount() const { return int(durationsMs.size()); }
};

} // namespace vexa
