#pragma once

#include <QIcon>
#include <QString>

namespace vexa {

// Pictures of sign dots for buttons: a bitmap scaled by whole pixels only, so every dot
// stays a sharp square at one and two device pixels per pixel.
class PalettePicture {
public:
    static QIcon Icon(const QString& path);
};

} // namespace vexa
