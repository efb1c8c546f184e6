#pragma once

#include "link/families/SendInputsAccess.h"

#include <QByteArrayView>

namespace vexa {

// Read-only view of the message data and slot parameters of one send, with every index and
// length checked: entries whose recorded length exceeds their bytes are cut to the bytes held,
// slots beyond the payload's ten rows do not exist.
class PayloadView {
public:
    explicit PayloadView(const SendInputs& inputs);

    // Slots that go on the wire: the model's slot count, at most the payload's rows.
    int SlotCount() const { return slotCount; }
    bool Selected(int slot) const;
    const SlotParams& Params(int slot) const;
    QByteArrayView Entry(int set, int slot) const;
    int Length(int set, int slot) const { return static_cast<int>(Entry(set, slot).size()); }
    // A slot has data in a set when it is selected and its entry there is not empty.
    bool HasData(int set, int slot) const { return Selected(slot) && Length(set, slot) > 0; }
    // 256-byte pages of an entry, rounded up.
    int Pages(int set, int slot) const { return (Length(set, slot) + 255) / 256; }
    // The ID byte that goes on the wire.
    int IdByte() const { return inputs.currentId & 0xFF; }

private:
    const SendInputs& inputs;
    int slotCount = 0;
};

} // namespace vexa
