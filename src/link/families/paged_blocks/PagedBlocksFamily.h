#pragma once

#include "link/FrameStep.h"
#include "link/families/SendInputsAccess.h"

#include <QByteArray>

namespace vexa {

// Family 2: per slot a 273-byte header frame (message or empty) and, for a slot with data,
// one 273-byte page frame per 256 bytes of its entry.
class PagedBlocksFamily {
public:
    static constexpr int FrameSize = 273;
    static constexpr int PageBytes = 256;
    static constexpr int HeaderPauseMs = 1000;
    static constexpr int PagePauseMs = 500;

    static FrameSequence Sequence(const SendInputs& inputs);
    // Unit in which a message header counts the entry length: max(4 × pageWidth, 256).
    static int UnitSize(int pageWidth);
    static QByteArray MessageHeaderFrame(const SendInputs& inputs, int slot);
    static QByteArray EmptyHeaderFrame(const SendInputs& inputs, int slot);
    static QByteArray PageFrame(const SendInputs& inputs, int slot, int page);
};

} // namespace vexa
