#pragma once

// Helpers shared by the frame-builder tests: a payload with its send inputs, and readers of
// the data fields of a sequence.
#include "core/Payload.h"
#include "link/FrameStep.h"
#include "link/families/SendInputsAccess.h"

#include <QByteArray>
#include <QList>

namespace vexa::test {

inline QByteArray Hex(const char* text) {
    return QByteArray::fromHex(QByteArray(text));
}

// size bytes counting up from first (wrapping at 256).
inline QByteArray Counting(int size, int first) {
    QByteArray bytes;
    for (int i = 0; i < size; ++i)
        bytes.append(static_cast<char>((first + i) & 0xFF));
    return bytes;
}

struct SendFixture {
    Payload payload;
    SendInputs inputs;

    explicit SendFixture(LinkFamily family, int rows, int slotCount = 8) {
        inputs.family = family;
        inputs.rows = rows;
        inputs.slotCount = slotCount;
        inputs.payload = &payload;
    }
    SlotParams& Slot(int j) { return SendInputsAccess::Slot(inputs, j); }
    void Select(int j, QByteArray set0, QByteArray set1 = {}) {
        Slot(j).sendFlag = 1;
        payload.At(0, j).Assign(std::move(set0));
        payload.At(1, j).Assign(std::move(set1));
    }
};

inline QList<int> Progress(const FrameSequence& steps) {
    QList<int> values;
    for (const FrameStep& step : steps)
        values.append(step.progress);
    return values;
}

inline QList<int> Pauses(const FrameSequence& steps) {
    QList<int> values;
    for (const FrameStep& step : steps)
        values.append(step.pauseAfterMs);
    return values;
}

} // namespace vexa::test
