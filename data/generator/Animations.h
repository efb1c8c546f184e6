#pragma once

#include "DotImage.h"

#include <QString>
#include <array>
#include <vector>

namespace vexa::datagen {

class ArtFile;

// The 32 two-frame faces and symbols for each sign height. The 7-row frames are drawn
// by hand (faces7.txt, keys "<n>/<frame>"); the 12- and 16-row frames are drawn by
// FaceDrawings from shapes, so both sizes share one design.
class Animations {
public:
    static constexpr int kCount = 32;
    static constexpr std::array<int, 3> kHeights = {7, 12, 16};

    bool Load(const QString& artDir);
    bool Build(const ArtFile& faces7);
    const QString& Error() const { return error; }

    // Frame 0 or 1 of animation n (0..31) for a sign height of 7, 12 or 16 rows; an empty
    // image for anything else.
    const DotImage& Frame(int height, int n, int frame) const;

private:
    static std::size_t Slot(int height, int n, int frame);

    std::vector<DotImage> frames;
    QString error;
};

} // namespace vexa::datagen
