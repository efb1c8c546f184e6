#pragma once

#include "core/ModelCatalogue.h"
#include "core/SignColours.h"
#include "render/DotQuantiser.h"
#include "render/PictureScaler.h"

#include <QImage>
#include <QSize>
#include <optional>

namespace vexa {

// What becomes of a picture's ground.
enum class PictureBackground {
    Auto,   // Invert when the picture has a light ground (the dominant colour of its border)
    Keep,   // as it is: the light parts are lit
    Invert, // dark art on a light ground: lightness mirrored, colours kept
};

struct PictureOptions {
    int height = 0;   // rows of the result, at most the sign's; 0: the sign's height
    int maxWidth = 0; // columns at most; 0: no limit but the program's
    PictureBackground background = PictureBackground::Auto;
    DotMethod dots = DotMethod::Threshold;
    int level = -1; // threshold 0..255, dots above it lit; -1: chosen from the picture (Otsu)
    // Every lit dot in this colour (one the sign lights). None: on a two-colour sign each dot
    // takes the nearest of red, green and yellow (red and green decided one by one).
    std::optional<SignLight> colour;
};

struct PreparedPicture {
    QImage image; // ARGB32, opaque: black and the exported colours of what the sign lights
    int litDots = 0;
    int level = DotQuantiser::MiddleLevel; // the threshold used
    bool inverted = false;                 // the lightness was mirrored
};

// Makes any picture into dots a sign of a model shows as they are: scaled to the sign's height
// (area averaging in linear light), its ground dark, thresholded or dithered, every lit dot in
// a colour the sign lights, written as SignColours exports it. Light decides single-colour
// signs; red and green light decide a two-colour sign's planes.
class PicturePreparer {
public:
    using Progress = PictureScaler::Progress;

    // Nothing when progress stopped the work or the source is empty.
    static std::optional<PreparedPicture> Prepare(const QImage& source, const DisplayModel& model,
                                                  const PictureOptions& options,
                                                  const Progress& progress = {});

    // The size a source takes in a result of height rows: the whole height, unless the width
    // limit (or the program's own) makes it lower; the result is as high all the same and
    // the picture sits in its middle.
    static QSize PictureSize(QSize source, int height, int maxWidth);

    // True when at least half of the picture's border is one light colour (its ground).
    static bool HasLightBackground(const QImage& source);

    // The rows a result has for a sign of the model with a chosen height (0: the sign's).
    static int ResultHeight(const DisplayModel& model, int height);
};

} // namespace vexa
