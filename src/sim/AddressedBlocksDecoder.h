#pragma once

#include "sim/SignDecoder.h"

#include <map>

namespace vexa {

// Family 5: 276-byte blocks 7E ID (DD|99) block-number ... 88 and 8-byte message end frames
// 7E ID CD block-number 00 FE 7E. The end frame completes the slot's message.
class AddressedBlocksDecoder : public SignDecoder {
public:
    static constexpr int MaxPagesPerSlot = 48;
    static constexpr size_t MaxOpenMessages = 64;

    explicit AddressedBlocksDecoder(const DisplayModel& model);

    // Effect index of list B for a sign effect code; -1 for codes outside the list.
    static int EffectIndex(int code);

protected:
    Parse ParseFrame(QByteArrayView pending, qsizetype& used, SimEvents& events) override;
    void FlushFamily(SimEvents& events) override;

private:
    struct Message {
        QJsonObject attributes;
        QByteArray data;
        int pages = 0;
    };

    void DecodeBlock(QByteArrayView frame, SimEvents& events);
    void DecodeEnd(QByteArrayView frame, SimEvents& events);

    // Messages being received, by (ID << 16 | slot).
    std::map<int, Message> messages;
};

} // namespace vexa
