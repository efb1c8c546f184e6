#pragma once

#include <QImage>
#include <cstdint>
#include <vector>

namespace vexa::datagen {

// One dot of a sign picture: dark or lit in one of the three sign colours.
enum class Dot : std::uint8_t { Dark, Red, Green, Yellow };

QRgb DotColour(Dot dot);

// A picture of sign dots, one cell per dot. Everything the generator writes is built
// as a DotImage first, so the three pure colours and black are the only possible pixels.
class DotImage {
public:
    DotImage() = default;
    DotImage(int width, int height);

    int Width() const { return width; }
    int Height() const { return height; }
    bool IsEmpty() const { return width == 0 || height == 0; }

    Dot At(int x, int y) const;
    // Writes outside the picture are ignored, so drawing code may clip freely.
    void Set(int x, int y, Dot dot);
    bool IsLit(int x, int y) const { return At(x, y) != Dot::Dark; }
    bool AnyLit() const;

    // The same picture with every lit dot in one colour.
    DotImage Recoloured(Dot colour) const;
    // Copies the lit dots of other with its top left corner at (x, y).
    void Draw(const DotImage& other, int x, int y);
    // Left-most and right-most lit column; first > last when nothing is lit.
    int FirstLitColumn() const;
    int LastLitColumn() const;

    // One pixel per dot, black where dark.
    QImage ToImage() const;

    bool operator==(const DotImage& other) const = default;

private:
    int width = 0;
    int height = 0;
    std::vector<Dot> dots;
};

} // namespace vexa::datagen
