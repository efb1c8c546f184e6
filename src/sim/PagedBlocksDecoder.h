#pragma once

#include "sim/SignDecoder.h"

namespace vexa {

// Family 2: 273-byte frames AA AA (AA AA | ID ID) 01 ... 88: message header, empty header and
// page frames. A message is complete when the next header arrives or the line goes quiet
// (the header counts the length only in units, so the sign cannot know its last page).
class PagedBlocksDecoder : public SignDecoder {
public:
    explicit PagedBlocksDecoder(const DisplayModel& model);

protected:
    Parse ParseFrame(QByteArrayView pending, qsizetype& used, SimEvents& events) override;
    void FlushFamily(SimEvents& events) override;

private:
    bool Plausible(QByteArrayView frame) const;
    void DecodeFrame(QByteArrayView frame, SimEvents& events);
    void FinishMessage(SimEvents& events);

    bool open = false;
    QJsonObject header;
    QByteArray data;
    int pages = 0;
};

} // namespace vexa
