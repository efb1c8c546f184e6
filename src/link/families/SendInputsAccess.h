#pragma once

// SendInputs names its slot array "slots", which Qt's keyword macro of the same name would
// rewrite wherever a Qt header came first. This header includes it with the macro lifted and
// is the one place that touches that member.
#include "app/ModelCatalogue.h"
#include "app/Payload.h"

#include <QtCore/qobjectdefs.h>

#pragma push_macro("slots")
#undef slots
#include "link/SendInputs.h"

namespace vexa {

struct SendInputsAccess {
    static SlotParams& Slot(SendInputs& inputs, int slot) { return inputs.slots.at(static_cast<size_t>(slot)); }
    static const SlotParams& Slot(const SendInputs& inputs, int slot) {
        return inputs.slots.at(static_cast<size_t>(slot));
    }
};

} // namespace vexa
#pragma pop_macro("slots")
