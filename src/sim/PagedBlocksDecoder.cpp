#include "sim/PagedBlocksDecoder.h"

#include "link/families/paged_blocks/PagedBlocksFamily.h"

#include <QString>
#include <algorithm>

namespace vexa {

namespace {

constexpr int FrameSize = PagedBlocksFamily::FrameSize;
constexpr int PageBytes = PagedBlocksFamily::PageBytes;

int Byte(QByteArrayView frame, qsizetype at) {
    return static_cast<unsigned char>(frame.at(at));
}

} // namespace

PagedBlocksDecoder::PagedBlocksDecoder(const DisplayModel& model) : SignDecoder(model) {}

// Lead-in AA AA, address bytes equal to each other, 01 at byte 4.
bool PagedBlocksDecoder::Plausible(QByteArrayView frame) const {
    const int lead[] = {0xAA, 0xAA};
    for (qsizetype i = 0; i < std::min<qsizetype>(2, frame.size()); ++i)
        if (Byte(frame, i) != lead[i])
            return false;
    if (frame.size() > 3 && Byte(frame, 2) != Byte(frame, 3))
        return false;
    if (frame.size() > 4 && Byte(frame, 4) != 0x01)
        return false;
    if (frame.size() >= FrameSize)
        return Byte(frame, 8) == 0x01 && Byte(frame, 11) == 0x40 && Byte(frame, 12) == 0x10 &&
               Byte(frame, FrameSize - 1) == 0x88;
    return true;
}

PagedBlocksDecoder::Parse PagedBlocksDecoder::ParseFrame(QByteArrayView pending, qsizetype& used,
                                                         SimEvents& events) {
    if (!Plausible(pending.first(std::min<qsizetype>(pending.size(), FrameSize))))
        return Parse::NotMine;
    if (pending.size() < FrameSize)
        return Parse::NeedMore;
    used = FrameSize;
    DecodeFrame(pending.first(FrameSize), events);
    return Parse::Consumed;
}

void PagedBlocksDecoder::DecodeFrame(QByteArrayView frame, SimEvents& events) {
    const int slot = Byte(frame, 13);
    const int address = Byte(frame, 2);
    const bool addressed = address != 0xAA;
    const int kindByte = Byte(frame, 6);
    if (kindByte >= 0x10 && Byte(frame, 7) == 0x01) {
        const int page = kindByte - 0x10;
        QJsonObject event = Event("page");
        event.insert(QStringLiteral("slot"), slot);
        event.insert(QStringLiteral("page"), page);
        const bool expected = open && header.value(QStringLiteral("slot")).toInt() == slot && page == pages;
        event.insert(QStringLiteral("inOrder"), expected);
        events.push_back(event);
        if (expected) {
            data.append(frame.sliced(14, PageBytes));
            ++pages;
        }
        return;
    }
    FinishMessage(events);
    const bool message = Byte(frame, 7) == 0x00;
    QJsonObject event = Event("header");
    event.insert(QStringLiteral("slot"), slot);
    event.insert(QStringLiteral("kind"), message ? QStringLiteral("message") : QStringLiteral("empty"));
    event.insert(QStringLiteral("addressed"), addressed);
    if (addressed)
        event.insert(QStringLiteral("id"), address);
    if (message) {
        event.insert(QStringLiteral("marked"), Byte(frame, 14) == 0xAA && Byte(frame, 15) == 0x55);
        event.insert(QStringLiteral("units"), (Byte(frame, 16) << 8) | Byte(frame, 17));
        event.insert(QStringLiteral("effect"), Byte(frame, 18));
        event.insert(QStringLiteral("speed"), Byte(frame, 19));
        event.insert(QStringLiteral("time"), Byte(frame, 20));
        event.insert(QStringLiteral("marquee"), Byte(frame, 21));
        open = true;
        header = event;
        data.clear();
        pages = 0;
    }
    events.push_back(event);
}

void PagedBlocksDecoder::FinishMessage(SimEvents& events) {
    if (!open)
        return;
    QJsonObject event = header;
    event.insert(QStringLiteral("event"), QStringLiteral("message"));
    event.remove(QStringLiteral("kind"));
    event.insert(QStringLiteral("pages"), pages);
    event.insert(QStringLiteral("length"), int(data.size()));
    event.insert(QStringLiteral("data"), QString::fromLatin1(data.toHex()));
    events.push_back(event);
    open = false;
    data.clear();
    pages = 0;
}

void PagedBlocksDecoder::FlushFamily(SimEvents& events) {
    FinishMessage(events);
}

} // namespace vexa
