#pragma once

#include "link/FrameStep.h"
#include "link/families/SendInputsAccess.h"

#include <QByteArray>
#include <QDateTime>

namespace vexa {

// Family 5: every frame carries the sign's ID. Per slot one 276-byte block per 256 bytes of
// its entry (page 0 also carries the attributes) and an 8-byte message end frame.
class AddressedBlocksFamily {
public:
    static constexpr int BlockSize = 276;
    static constexpr int PageBytes = 256;
    static constexpr int BlocksPerSlot = 48;
    static constexpr int PlainMark = 0xDD;
    static constexpr int LastPageMark = 0x99;

    // The send for inputs.currentId; progress is scaled into the group share
    // groupIndex of groupCount.
    static FrameSequence Sequence(const SendInputs& inputs);
    // mark: byte 2 of the block (PlainMark, or LastPageMark once a multi-page message ended).
    static QByteArray BlockFrame(const SendInputs& inputs, int slot, int page, int mark);
    static QByteArray MessageEndFrame(int id, int slot);
    // What a block carries: its number, sign, slot and page, and on page 0 the attributes.
    static QString BlockLabel(const SendInputs& inputs, int slot, int page, int pages, int mark);
    // Sign effect code of an effect index of list B (Fix, Left, Right, Up, Down, Snow, Blink).
    static int EffectCode(int effectIndex);
    static int GroupProgress(int progress, int groupIndex, int groupCount);

    static QByteArray ReadIdFrame();
    static QByteArray SetIdFrame(int currentId, int newId);
    // Carries the low 8 bits of the four-digit year, as the signs in the field expect.
    static QByteArray ClockFrame(const QDateTime& now);

    static FrameStep ReadIdStep();
    static FrameStep SetIdStep(int currentId, int newId);
    static FrameStep ClockStep(const QDateTime& now);
};

} // namespace vexa
