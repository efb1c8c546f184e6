#pragma once

#include "render/TextRun.h"

#include <QFont>
#include <QHash>
#include <QPaintDevice>

namespace vexa {

// The font a text run is drawn with. A run of size n has a character cell of n dots:
// the cell is the face's winAscent + winDescent, so the em is scaled to
// n x unitsPerEm / (winAscent + winDescent) and the baseline sits at n - descent.
// Drawn without smoothing, so every lit pixel is a whole dot.
class RunFont {
public:
    // Builds the font of a run for drawing on device (its DPI turns pixels into points).
    RunFont(const TextRun& run, const QPaintDevice& device);
    // A plain face at an em size in pixels (the clock text).
    RunFont(const QString& face, double emPixels, const QPaintDevice& device);

    const QFont& Font() const { return font; }
    // Distance from the top of the cell to the baseline, in dots.
    int Baseline() const { return baseline; }
    int CellHeight() const { return cell; }

    // Face list for a face name: CJK faces named in documents get a fixed substitute so
    // the dots do not depend on the locale's font configuration.
    static QStringList FamiliesFor(const QString& face, int charset);
    static bool IsCjkFace(const QString& face, int charset);
    static const QString& CjkSubstitute();

private:
    struct CellMetrics {
        double unitsPerEm = 2048;
        double winAscent = 0;
        double winDescent = 0;
    };
    static CellMetrics MetricsOf(const QFont& font);
    static void SetPixelSize(QFont& font, double pixels, const QPaintDevice& device);

    QFont font;
    int cell = 0;
    int baseline = 0;
};

} // namespace vexa
