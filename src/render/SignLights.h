#pragma once

#include "core/SignColours.h"

#include <QImage>

namespace vexa {

// Pictures of what a sign shows: a raster of one pixel per dot redrawn in the colours the
// sign lights (SignColours), so that a preview shows neither colours the sign cannot light
// nor dots it leaves dark.
class SignLights {
public:
    // Replaces every pixel of a 32-bit raster (ARGB32 or premultiplied) by the opaque colour
    // the sign lights for it. Premultiplied pixels are judged as the exported bitmap holds
    // them (unpremultiplied), so the preview and the packer see the same colour.
    static void Recolour(QImage& raster, PackKind kind, LedColour led);
};

} // namespace vexa
