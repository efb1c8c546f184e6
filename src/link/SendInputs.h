#pragma once

#include "core/ModelCatalogue.h"
#include "core/Payload.h"

#include <array>

namespace vexa {

// Parameters of one message slot that go on the wire.
struct SlotParams {
    int effect = 0;
    int speed = 0;
    int holdTime = 0;
    int marquee = 0;
    int blink = 0;
    int sendFlag = 0;
};

// Everything a protocol family needs to build the frames of one send.
struct SendInputs {
    LinkFamily family = LinkFamily::RowDirectory;
    int rows = 12;
    int slotCount = 8;
    int pageWidth = 64;
    int effectListSet = 0;   // names the effects in the frame labels (0 = list A, 1 = B, 2 = C)
    int currentId = 1;       // target sign; its low 8 bits go on the wire
    bool address485 = false; // write the ID into headers (RowDirectory families, PagedBlocks)
    std::array<SlotParams, 10> slotParams{};
    const Payload* payload = nullptr;
    // Group sends of family 5 scale progress: ID groupIndex (0-based) of groupCount.
    int groupIndex = 0;
    int groupCount = 1;
};

} // namespace vexa
