#include "link/families/PayloadView.h"

#include <algorithm>

namespace vexa {

PayloadView::PayloadView(const SendInputs& sendInputs)
    : inputs(sendInputs), slotCount(std::clamp(sendInputs.slotCount, 0, Payload::RowCount)) {}

bool PayloadView::Selected(int slot) const {
    return slot >= 0 && slot < slotCount && SendInputsAccess::Slot(inputs, slot).sendFlag == 1;
}

const SlotParams& PayloadView::Params(int slot) const {
    return SendInputsAccess::Slot(inputs, slot);
}

QByteArrayView PayloadView::Entry(int set, int slot) const {
    if (inputs.payload == nullptr || set < 0 || set >= Payload::SetCount || slot < 0 || slot >= slotCount)
        return {};
    const PayloadEntry& entry = inputs.payload->At(set, slot);
    const qsizetype length = std::clamp<qsizetype>(entry.length, 0, entry.bytes.size());
    return QByteArrayView(entry.bytes.constData(), length);
}

} // namespace vexa
