#pragma once

#include "sim/SignDecoder.h"

namespace vexa {

// Family 3: message text bytes followed by a 12-byte trailer FA AF FF FF, 30 + slot, speed,
// effect, FF, FF FF FF, 5A/FF. A trailer with 30 33 30 and 7A after 8 characters of time
// text is the clock. Character codes never reach FA, so the trailer marks every message end.
class SlotTrailerDecoder : public SignDecoder {
public:
    static constexpr int MaxMessageBytes = 4096;

    explicit SlotTrailerDecoder(const DisplayModel& model);

protected:
    Parse ParseFrame(QByteArrayView pending, qsizetype& used, SimEvents& events) override;
    bool TakeLooseByte(char byte) override;
    void FlushFamily(SimEvents& events) override;

private:
    void DecodeTrailer(QByteArrayView trailer, SimEvents& events);
    bool ClockTrailer(QByteArrayView trailer) const;

    QByteArray message;
};

} // namespace vexa
