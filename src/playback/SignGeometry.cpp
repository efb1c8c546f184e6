#include "playback/SignGeometry.h"

#include <algorithm>

namespace vexa {

int SignGeometry::DefaultWidth(const DisplayModel& model) {
    if (model.pageColumns > 0)
        return model.pageColumns;
    return model.rows <= 7 ? 64 : 96;
}

SignGeometry SignGeometry::For(const DisplayModel& model, int signWidth, LedColour led) {
    SignGeometry sign;
    sign.rows = model.rows;
    sign.kind = model.packKind;
    sign.led = led;
    if (WidthFixed(model)) {
        sign.columns = model.pageWidth;
        sign.pagePitch = std::max(model.pagePitch, model.pageWidth);
    } else {
        sign.columns = WidthAllowed(signWidth) ? signWidth : DefaultWidth(model);
        sign.pagePitch = sign.columns;
    }
    return sign;
}

quint32 SignGeometry::MarqueeArgb() const {
    // The marquee lights the sign's first colour: red, or the one colour of a single-colour sign.
    return SignColours::ArgbOf(SignColours::LightsOf(kind).front(), led);
}

} // namespace vexa
