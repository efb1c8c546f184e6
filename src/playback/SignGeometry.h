#pragma once

#include "core/ModelCatalogue.h"
#include "core/SignColours.h"

namespace vexa {

// The face of a sign as the playback draws it: its columns and rows of dots, where its
// pages lie in a message, and the colours it lights.
struct SignGeometry {
    static constexpr int MinWidth = 8;
    static constexpr int MaxWidth = 1024;

    int columns = 64;   // visible columns
    int rows = 16;      // visible rows
    int pagePitch = 64; // page p of a message starts at column p * pagePitch (>= columns)
    PackKind kind = PackKind::OneBit;
    LedColour led = LedColour::Red;

    // A model's sign: the catalogue's page width and pitch where the model has them, else
    // signWidth columns (the operator's setting; outside MinWidth..MaxWidth, or 0, the
    // model's default) with pages one sign wide.
    static SignGeometry For(const DisplayModel& model, int signWidth, LedColour led = LedColour::Red);
    // True when the catalogue fixes the sign's width, so no setting applies.
    static bool WidthFixed(const DisplayModel& model) { return model.hasPageGeometry && model.pageWidth > 0; }
    // The width of a sign whose model does not fix it: the columns of its packing pages
    // where the catalogue has them (the models of one family differ only there), else 64
    // columns for 7-row signs and 96 for taller ones.
    static int DefaultWidth(const DisplayModel& model);
    static bool WidthAllowed(int columns) { return columns >= MinWidth && columns <= MaxWidth; }

    // The preview colour of a dark dot and of the marquee's dots.
    quint32 DarkArgb() const { return SignColours::ArgbOf(SignLight::Dark, led); }
    quint32 MarqueeArgb() const;
};

} // namespace vexa
