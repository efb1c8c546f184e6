#pragma once

#include "DotImage.h"

#include <QImage>

namespace vexa::datagen {

// Draws sign dots enlarged the way an LED sign shows them: every dot a square of
// dotSize pixels on a pitch of pitch pixels, unlit dots faintly visible.
struct LedStyle {
    int pitch = 4;
    int dotSize = 3;
    QRgb background = qRgb(0x10, 0x10, 0x10);
    QRgb unlit = qRgb(0x2A, 0x2A, 0x2A);
};

QImage LedPicture(const DotImage& dots, const LedStyle& style);
// The same, centred on a canvas of the given size filled with the background.
QImage LedPicture(const DotImage& dots, const LedStyle& style, int width, int height);

} // namespace vexa::datagen
