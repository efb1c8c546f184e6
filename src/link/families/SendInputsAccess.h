#pragma once

#include "link/SendInputs.h"

namespace vexa {

// Bounds-checked access to the parameters of one slot of a send.
struct SendInputsAccess {
    static SlotParams& Slot(SendInputs& inputs, int slot) {
        return inputs.slotParams.at(static_cast<size_t>(slot));
    }
    static const SlotParams& Slot(const SendInputs& inputs, int slot) {
        return inputs.slotParams.at(static_cast<size_t>(slot));
    }
};

} // namespace vexa
