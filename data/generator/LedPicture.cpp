#include "LedPicture.h"

#include <QPainter>

namespace vexa::datagen {

QImage LedPicture(const DotImage& dots, const LedStyle& style) {
    QImage image(dots.Width() * style.pitch, dots.Height() * style.pitch, QImage::Format_RGB32);
    image.fill(style.background);
    const int inset = (style.pitch - style.dotSize) / 2;
    for (int y = 0; y < dots.Height(); ++y) {
        for (int x = 0; x < dots.Width(); ++x) {
            const QRgb colour = dots.IsLit(x, y) ? DotColour(dots.At(x, y)) : style.unlit;
            for (int py = 0; py < style.dotSize; ++py) {
                for (int px = 0; px < style.dotSize; ++px) {
                    image.setPixel(x * style.pitch + inset + px, y * style.pitch + inset + py, colour);
                }
            }
        }
    }
    return image;
}

QImage LedPicture(const DotImage& dots, const LedStyle& style, int width, int height) {
    QImage canvas(width, height, QImage::Format_RGB32);
    canvas.fill(style.background);
    const QImage picture = LedPicture(dots, style);
    QPainter painter(&canvas);
    painter.drawImage((width - picture.width()) / 2, (height - picture.height()) / 2, picture);
    return canvas;
}

} // namespace vexa::datagen
