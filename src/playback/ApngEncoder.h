#pragma once

#include "playback/IndexedAnimation.h"

#include <QByteArray>
#include <QString>

namespace vexa {

// Writes an animated PNG. Every frame is compressed by Qt's own PNG writer; this class
// only moves its image data into the animation's chunks (acTL, fcTL, IDAT, fdAT), which
// Qt cannot write. A reader without animation support shows the first frame.
class ApngEncoder {
public:
    static QByteArray Encode(const IndexedAnimation& animation, QString* error);
    // The CRC-32 of PNG chunks (over type and data).
    static quint32 Crc32(QByteArrayView bytes);
};

} // namespace vexa
