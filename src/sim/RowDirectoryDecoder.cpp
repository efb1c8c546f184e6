#include "sim/RowDirectoryDecoder.h"

#include "link/families/row_directory/RowDirectoryFamily.h"

#include <QJsonArray>
#include <QString>
#include <algorithm>
#include <array>

namespace vexa {

namespace {

constexpr int HeaderSize = 5;

int Byte(QByteArrayView frame, qsizetype at) {
    return static_cast<unsigned char>(frame.at(at));
}

struct HeaderShape {
    std::array<int, HeaderSize> bytes; // byte 2 is the plain value, replaced by an ID with 485
};

} // namespace

RowDirectoryDecoder::RowDirectoryDecoder(const DisplayModel& model) : SignDecoder(model) {
    const auto params = RowDirectoryFamily::ParamsFor(model.family, model.rows);
    sliceCount = params.sliceCount;
    secondHeaders = params.headers == RowDirectoryFamily::HeaderSet::Second;
}

RowDirectoryDecoder::Parse RowDirectoryDecoder::ParseFrame(QByteArrayView pending, qsizetype& used,
                                                           SimEvents& events) {
    switch (stage) {
    case Stage::Idle:
        if (afterBlock && Byte(pending, 0) == 0) {
            used =
                std::find_if(pending.begin(), pending.end(), [](char c) { return c != 0; }) - pending.begin();
            padding += static_cast<int>(used);
            return Parse::Consumed;
        }
        return ParseHeader(pending, used, events);
    case Stage::Directory: {
        const qsizetype size = 5 * qsizetype(SlotCount()) + 2;
        if (pending.size() < size)
            return Parse::NeedMore;
        used = size;
        DecodeDirectory(pending.first(size), events);
        return Parse::Consumed;
    }
    case Stage::Data:
        used = std::min(pending.size(), blockSize - block.size());
        block.append(pending.first(used));
        if (block.size() == blockSize)
            DeliverBlock(events);
        return Parse::Consumed;
    }
    return Parse::NotMine;
}

RowDirectoryDecoder::Parse RowDirectoryDecoder::ParseHeader(QByteArrayView pending, qsizetype& used,
                                                            SimEvents& events) {
    const std::array<HeaderShape, 2> shapes{{
        {{0x48, 0x65, 0x6C, 0x6C, 0x6F}},
        secondHeaders ? HeaderShape{{0x48, 0x65, 0x96, 0x5A, 0xF0}}
                      : HeaderShape{{0x96, 0x05, 0x0F, 0xAA, 0xAA}},
    }};
    bool partial = false;
    for (int candidate = 0; candidate < 2; ++candidate) {
        const auto& bytes = shapes.at(static_cast<size_t>(candidate)).bytes;
        const qsizetype compared = std::min<qsizetype>(HeaderSize, pending.size());
        bool agrees = true;
        for (qsizetype i = 0; i < compared && agrees; ++i)
            agrees = i == 2 || Byte(pending, i) == bytes.at(static_cast<size_t>(i));
        if (!agrees)
            continue;
        if (compared < HeaderSize) {
            partial = true;
            continue;
        }
        ReportPadding(events);
        pass = candidate;
        stage = Stage::Directory;
        used = HeaderSize;
        QJsonObject event = Event("pass");
        event.insert(QStringLiteral("pass"), pass);
        const int address = Byte(pending, 2);
        event.insert(QStringLiteral("addressed"), address != bytes[2]);
        event.insert(QStringLiteral("id"), address);
        events.push_back(event);
        return Parse::Consumed;
    }
    return partial ? Parse::NeedMore : Parse::NotMine;
}

void RowDirectoryDecoder::DecodeDirectory(QByteArrayView frame, SimEvents& events) {
    const int slotTotal = SlotCount();
    directory.assign(static_cast<size_t>(slotTotal), SlotEntry{});
    QJsonArray entries;
    bool consistent = Byte(frame, 0) == 0 && Byte(frame, slotTotal + 1) == 0;
    int runningOffset = 0;
    qsizetype sliceTotal = 0;
    for (int j = 0; j < slotTotal; ++j) {
        SlotEntry& entry = directory[static_cast<size_t>(j)];
        const qsizetype at = slotTotal + 2 + 4 * j;
        entry.attribute = Byte(frame, 1 + j);
        entry.offset = ((Byte(frame, at) & 0x07) << 8) | Byte(frame, at + 1);
        entry.sliceLength = (Byte(frame, at + 2) << 8) | Byte(frame, at + 3);
        consistent =
            consistent && (Byte(frame, at) & 0xF8) == 0x08 && entry.offset == (runningOffset & 0x7FF);
        runningOffset += entry.sliceLength;
        sliceTotal += entry.sliceLength;
        entries.append(QJsonObject{
            {QStringLiteral("slot"), j},
            {QStringLiteral("attribute"), entry.attribute},
            {QStringLiteral("speed"), (entry.attribute >> 4) & 0x07},
            {QStringLiteral("marquee"), (entry.attribute >> 7) & 0x01},
            {QStringLiteral("effect"), entry.attribute & 0x07},
            {QStringLiteral("blink"), (entry.attribute >> 3) & 0x01},
            {QStringLiteral("offset"), entry.offset},
            {QStringLiteral("sliceLength"), entry.sliceLength},
        });
    }
    QJsonObject event = Event("directory");
    event.insert(QStringLiteral("pass"), pass);
    event.insert(QStringLiteral("consistent"), consistent);
    event.insert(QStringLiteral("slots"), entries);
    events.push_back(event);
    if (!consistent) {
        stage = Stage::Idle;
        return;
    }
    blockSize = sliceTotal * sliceCount;
    block.clear();
    stage = Stage::Data;
    if (blockSize == 0)
        DeliverBlock(events);
}

void RowDirectoryDecoder::DeliverBlock(SimEvents& events) {
    std::vector<QByteArray> entries(directory.size());
    qsizetype at = 0;
    for (int r = 0; r < sliceCount; ++r) {
        for (size_t j = 0; j < directory.size(); ++j) {
            const int length = directory[j].sliceLength;
            entries[j].append(block.mid(at, length));
            at += length;
        }
    }
    for (size_t j = 0; j < directory.size(); ++j) {
        if (directory[j].sliceLength == 0)
            continue;
        const int attribute = directory[j].attribute;
        QJsonObject event = Event("message");
        event.insert(QStringLiteral("pass"), pass);
        event.insert(QStringLiteral("set"), pass);
        event.insert(QStringLiteral("slot"), int(j));
        event.insert(QStringLiteral("attribute"), attribute);
        event.insert(QStringLiteral("speed"), (attribute >> 4) & 0x07);
        event.insert(QStringLiteral("marquee"), (attribute >> 7) & 0x01);
        event.insert(QStringLiteral("effect"), attribute & 0x07);
        event.insert(QStringLiteral("blink"), (attribute >> 3) & 0x01);
        event.insert(QStringLiteral("length"), int(entries[j].size()));
        event.insert(QStringLiteral("data"), QString::fromLatin1(entries[j].toHex()));
        events.push_back(event);
    }
    block.clear();
    stage = Stage::Idle;
    afterBlock = true;
    padding = 0;
}

void RowDirectoryDecoder::ReportPadding(SimEvents& events) {
    if (padding > 0) {
        QJsonObject event = Event("padding");
        event.insert(QStringLiteral("length"), padding);
        events.push_back(event);
    }
    padding = 0;
    afterBlock = false;
}

void RowDirectoryDecoder::FlushFamily(SimEvents& events) {
    ReportPadding(events);
    if (stage == Stage::Data) {
        QJsonObject event = Event("incomplete");
        event.insert(QStringLiteral("pass"), pass);
        event.insert(QStringLiteral("received"), int(block.size()));
        event.insert(QStringLiteral("expected"), int(blockSize));
        events.push_back(event);
    } else if (stage == Stage::Directory) {
        QJsonObject event = Event("incomplete");
        event.insert(QStringLiteral("pass"), pass);
        event.insert(QStringLiteral("stage"), QStringLiteral("directory"));
        events.push_back(event);
    }
    block.clear();
    stage = Stage::Idle;
}

} // namespace vexa
