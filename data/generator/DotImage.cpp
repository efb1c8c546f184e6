#include "DotImage.h"

namespace vexa::datagen {

QRgb DotColour(Dot dot) {
    switch (dot) {
    case Dot::Red:
        return qRgb(0xFF, 0, 0);
    case Dot::Green:
        return qRgb(0, 0xFF, 0);
    case Dot::Yellow:
        return qRgb(0xFF, 0xFF, 0);
    case Dot::Dark:
        break;
    }
    return qRgb(0, 0, 0);
}

DotImage::DotImage(int w, int h)
    : width(w > 0 ? w : 0), height(h > 0 ? h : 0),
      dots(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), Dot::Dark) {}

Dot DotImage::At(int x, int y) const {
    if (x < 0 || y < 0 || x >= width || y >= height) {
        return Dot::Dark;
    }
    return dots[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)];
}

void DotImage::Set(int x, int y, Dot dot) {
    if (x < 0 || y < 0 || x >= width || y >= height) {
        return;
    }
    dots[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)] = dot;
}

bool DotImage::AnyLit() const {
    for (Dot dot : dots) {
        if (dot != Dot::Dark) {
            return true;
        }
    }
    return false;
}

DotImage DotImage::Recoloured(Dot colour) const {
    DotImage result = *this;
    for (Dot& dot : result.dots) {
        if (dot != Dot::Dark) {
            dot = colour;
        }
    }
    return result;
}

void DotImage::Draw(const DotImage& other, int x, int y) {
    for (int row = 0; row < other.height; ++row) {
        for (int column = 0; column < other.width; ++column) {
            if (other.IsLit(column, row)) {
                Set(x + column, y + row, other.At(column, row));
            }
        }
    }
}

int DotImage::FirstLitColumn() const {
    for (int x = 0; x < width; ++x) {
        for (int y = 0; y < height; ++y) {
            if (IsLit(x, y)) {
                return x;
            }
        }
    }
    return width;
}

int DotImage::LastLitColumn() const {
    for (int x = width - 1; x >= 0; --x) {
        for (int y = 0; y < height; ++y) {
            if (IsLit(x, y)) {
                return x;
            }
        }
    }
    return -1;
}

QImage DotImage::ToImage() const {
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            image.setPixel(x, y, DotColour(At(x, y)));
        }
    }
    return image;
}

} // namespace vexa::datagen
