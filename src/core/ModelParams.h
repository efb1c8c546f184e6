#pragma once

#include "core/ModelCatalogue.h"

#include <optional>

namespace vexa {

// The model members the link engine, the main window and the row previews follow, with
// the engine's initial values until a catalogue model is applied.
struct ModelParams {
    int rows = 12;     // height in dots: 7, 12 or 16
    int slotCount = 8; // message slots: 8, 9 or 10
    int family = 1;    // LinkFamily code
    bool hasClock = true;
    int effectListSet = 0; // 0 = list A, 1 = list B, 2 = list C
    bool is485Model = false;
    int pageWidth = 64; // visible columns of a sign page; 0 = no page geometry
    int pagePitch = 64; // distance between pages in columns
    // Height of the exported row bitmaps: 12 for the 7-row models that send 12 lines, else 0.
    int exportHeight = 0;
    // How the model's signs take dots, and so which colours they light; none until a
    // catalogue model is applied.
    std::optional<PackKind> packKind;

    // Takes over a catalogue row. This is the one place the model's geometry is copied:
    // a model without page geometry sets pageWidth 0 and leaves pagePitch as it was.
    void SetFrom(const DisplayModel& model);
};

} // namespace vexa
