#include "sim/AddressedBlocksDecoder.h"

#include "link/families/addressed_blocks/AddressedBlocksFamily.h"

#include <QString>

namespace vexa {

namespace {

constexpr int BlockSize = AddressedBlocksFamily::BlockSize;
constexpr int EndSize = 8;
constexpr int PageBytes = AddressedBlocksFamily::PageBytes;

int Byte(QByteArrayView frame, qsizetype at) {
    return static_cast<unsigned char>(frame.at(at));
}

int Key(int id, int slot) {
    return (id << 16) | slot;
}

} // namespace

AddressedBlocksDecoder::AddressedBlocksDecoder(const DisplayModel& model) : SignDecoder(model) {}

int AddressedBlocksDecoder::EffectIndex(int code) {
    for (int index = 0; index < 7; ++index)
        if (AddressedBlocksFamily::EffectCode(index) == code)
            return index;
    return -1;
}

AddressedBlocksDecoder::Parse AddressedBlocksDecoder::ParseFrame(QByteArrayView pending, qsizetype& used,
                                                                 SimEvents& events) {
    if (Byte(pending, 0) != 0x7E)
        return Parse::NotMine;
    if (pending.size() < 3)
        return Parse::NeedMore; // the kind byte decides; commands are checked on NotMine only
    const int kind = Byte(pending, 2);
    if (kind == AddressedBlocksFamily::PlainMark || kind == AddressedBlocksFamily::LastPageMark) {
        if (pending.size() < BlockSize)
            return Parse::NeedMore;
        if (Byte(pending, BlockSize - 1) != 0x88)
            return Parse::NotMine;
        used = BlockSize;
        DecodeBlock(pending.first(BlockSize), events);
        return Parse::Consumed;
    }
    if (kind == 0xCD) {
        if (pending.size() < EndSize)
            return Parse::NeedMore;
        if (Byte(pending, 5) != 0x00 || Byte(pending, 6) != 0xFE || Byte(pending, 7) != 0x7E)
            return Parse::NotMine;
        used = EndSize;
        DecodeEnd(pending.first(EndSize), events);
        return Parse::Consumed;
    }
    return Parse::NotMine;
}

void AddressedBlocksDecoder::DecodeBlock(QByteArrayView frame, SimEvents& events) {
    const int id = Byte(frame, 1);
    const int number = (Byte(frame, 3) << 8) | Byte(frame, 4);
    const int slot = number / MaxPagesPerSlot;
    const int page = number % MaxPagesPerSlot;
    QJsonObject event = Event("block");
    event.insert(QStringLiteral("id"), id);
    event.insert(QStringLiteral("slot"), slot);
    event.insert(QStringLiteral("page"), page);
    event.insert(QStringLiteral("mark"), QString::number(Byte(frame, 2), 16).toUpper());

    if (messages.size() >= MaxOpenMessages && messages.count(Key(id, slot)) == 0) {
        event.insert(QStringLiteral("dropped"), true);
        events.push_back(event);
        return;
    }
    Message& message = messages[Key(id, slot)];
    if (page == 0) {
        const int code = Byte(frame, 13);
        message = Message{};
        message.attributes = QJsonObject{
            {QStringLiteral("effectCode"), code},         {QStringLiteral("effect"), EffectIndex(code)},
            {QStringLiteral("speed"), Byte(frame, 14)},   {QStringLiteral("time"), Byte(frame, 15)},
            {QStringLiteral("marquee"), Byte(frame, 16)}, {QStringLiteral("declaredPages"), Byte(frame, 17)},
        };
    }
    const bool inOrder = page == message.pages;
    event.insert(QStringLiteral("inOrder"), inOrder);
    if (inOrder) {
        message.data.append(frame.sliced(19, PageBytes));
        ++message.pages;
    }
    events.push_back(event);
}

void AddressedBlocksDecoder::DecodeEnd(QByteArrayView frame, SimEvents& events) {
    const int id = Byte(frame, 1);
    const int number = (Byte(frame, 3) << 8) | Byte(frame, 4);
    const int slot = number / MaxPagesPerSlot;
    QJsonObject event = Event("message");
    event.insert(QStringLiteral("id"), id);
    event.insert(QStringLiteral("slot"), slot);
    const auto found = messages.find(Key(id, slot));
    if (found != messages.end()) {
        for (auto it = found->second.attributes.begin(); it != found->second.attributes.end(); ++it)
            event.insert(it.key(), it.value());
        event.insert(QStringLiteral("pages"), found->second.pages);
        event.insert(QStringLiteral("length"), int(found->second.data.size()));
        event.insert(QStringLiteral("data"), QString::fromLatin1(found->second.data.toHex()));
        messages.erase(found);
    } else {
        event.insert(QStringLiteral("pages"), 0);
        event.insert(QStringLiteral("length"), 0);
        event.insert(QStringLiteral("data"), QString());
    }
    events.push_back(event);
}

void AddressedBlocksDecoder::FlushFamily(SimEvents& events) {
    for (const auto& [key, message] : messages) {
        QJsonObject event = Event("incomplete");
        event.insert(QStringLiteral("id"), key >> 16);
        event.insert(QStringLiteral("slot"), key & 0xFFFF);
        event.insert(QStringLiteral("pages"), message.pages);
        events.push_back(event);
    }
    messages.clear();
}

} // namespace vexa
