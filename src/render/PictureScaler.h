#pragma once

#include <QImage>
#include <QSize>
#include <functional>
#include <optional>
#include <vector>

namespace vexa {

// A picture in linear light over black: one value per channel and pixel, 0 (dark) to 1.
struct LinearPicture {
    int width = 0;
    int height = 0;
    std::vector<float> red, green, blue;
};

// Resizes a picture by area averaging in linear light: every result pixel is the mean of the
// source area it covers (pixels cut by its edges count by the part they cover), so a thin
// bright line on a dark ground keeps its light instead of vanishing or turning grey, and an
// enlargement by a whole factor repeats each pixel exactly. Transparent parts count as black,
// which is what a sign shows where nothing is drawn.
class PictureScaler {
public:
    // Told the share of the work done (0..100) now and then; returns false to stop the work.
    using Progress = std::function<bool(int percent)>;

    // The picture at size. invertLightness mirrors each source colour's lightness first (white
    // becomes black and black white, while hue and colourfulness stay: red stays red), for dark
    // art on a light ground. Nothing when progress asked to stop or a size is empty.
    static std::optional<LinearPicture> Scale(const QImage& source, QSize size, bool invertLightness,
                                              const Progress& progress = {});

    // The linear light of an 8-bit sRGB level, and the 8-bit level nearest to a linear value.
    static float Linear(int level);
    static int Level(float linear);
};

} // namespace vexa
