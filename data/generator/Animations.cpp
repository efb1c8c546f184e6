#include "Animations.h"

#include "ArtFile.h"
#include "FaceDrawings.h"

#include <algorithm>

namespace vexa::datagen {

bool Animations::Load(const QString& artDir) {
    ArtFile faces7;
    if (!faces7.Load(artDir + QStringLiteral("/faces7.txt"))) {
        error = faces7.Error();
        return false;
    }
    return Build(faces7);
}

std::size_t Animations::Slot(int height, int n, int frame) {
    std::size_t size = 0;
    for (std::size_t i = 0; i < kHeights.size(); ++i) {
        if (kHeights[i] == height) {
            size = i;
        }
    }
    return (size * kCount + static_cast<std::size_t>(n)) * 2 + static_cast<std::size_t>(frame);
}

bool Animations::Build(const ArtFile& faces7) {
    frames.assign(kHeights.size() * kCount * 2, DotImage());
    for (const ArtEntry& entry : faces7.Entries()) {
        const QStringList parts = entry.key.split(QLatin1Char('/'));
        bool okNumber = false;
        bool okFrame = false;
        const int n = parts.value(0).toInt(&okNumber);
        const int frame = parts.value(1).toInt(&okFrame);
        if (parts.size() != 2 || !okNumber || !okFrame || n < 0 || n >= kCount || frame < 0 || frame > 1) {
            error = QStringLiteral("faces7.txt:%1: key \"%2\" is not <0..31>/<0..1>")
                        .arg(entry.line)
                        .arg(entry.key);
            return false;
        }
        if (entry.image.Height() != 7) {
            error = QStringLiteral("faces7.txt:%1: picture must be 7 rows high").arg(entry.line);
            return false;
        }
        frames[Slot(7, n, frame)] = entry.image;
    }
    for (int n = 0; n < kCount; ++n) {
        for (int frame = 0; frame < 2; ++frame) {
            for (int height : {12, 16}) {
                frames[Slot(height, n, frame)] = FaceDrawings::Draw(n, frame, height);
            }
        }
        for (int height : kHeights) {
            const DotImage& first = frames[Slot(height, n, 0)];
            const DotImage& second = frames[Slot(height, n, 1)];
            if (first.IsEmpty() || second.IsEmpty()) {
                error = QStringLiteral("animation %1 has no %2-row frame %3")
                            .arg(n)
                            .arg(height)
                            .arg(first.IsEmpty() ? 0 : 1);
                return false;
            }
            if (first == second || first.Width() != second.Width()) {
                error = QStringLiteral("animation %1 (%2 rows): frames must differ and be equally wide")
                            .arg(n)
                            .arg(height);
                return false;
            }
        }
    }
    return true;
}

const DotImage& Animations::Frame(int height, int n, int frame) const {
    static const DotImage none;
    const bool known = std::find(kHeights.begin(), kHeights.end(), height) != kHeights.end();
    if (!known || n < 0 || n >= kCount || frame < 0 || frame > 1 || frames.empty()) {
        return none;
    }
    return frames[Slot(height, n, frame)];
}

} // namespace vexa::datagen
