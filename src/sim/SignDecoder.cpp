#include "sim/SignDecoder.h"

#include "sim/AddressedBlocksDecoder.h"
#include "sim/CommandMatcher.h"
#include "sim/PagedBlocksDecoder.h"
#include "sim/RowDirectoryDecoder.h"
#include "sim/SlotTrailerDecoder.h"

#include <QString>

namespace vexa {

SignDecoder::SignDecoder(const DisplayModel& displayModel)
    : signModel(displayModel), commands(std::make_unique<CommandMatcher>(displayModel.family)) {}

SignDecoder::~SignDecoder() = default;

std::unique_ptr<SignDecoder> SignDecoder::ForModel(const DisplayModel& model) {
    switch (model.family) {
    case LinkFamily::RowDirectory12:
    case LinkFamily::RowDirectory:
    case LinkFamily::RowDirectoryPaired:
        return std::make_unique<RowDirectoryDecoder>(model);
    case LinkFamily::PagedBlocks:
        return std::make_unique<PagedBlocksDecoder>(model);
    case LinkFamily::SlotTrailer:
        return std::make_unique<SlotTrailerDecoder>(model);
    case LinkFamily::AddressedBlocks:
        return std::make_unique<AddressedBlocksDecoder>(model);
    }
    return nullptr;
}

QJsonObject SignDecoder::Event(const char* kind) {
    return QJsonObject{{QStringLiteral("event"), QString::fromLatin1(kind)}};
}

int SignDecoder::SlotCount() const {
    return signModel.slotCount;
}

void SignDecoder::ReportUnknown(SimEvents& events) {
    if (unknown.isEmpty())
        return;
    QJsonObject event = Event("unknown");
    event.insert(QStringLiteral("length"), int(unknown.size()));
    event.insert(QStringLiteral("data"), QString::fromLatin1(unknown.toHex()));
    events.push_back(event);
    unknown.clear();
}

SimEvents SignDecoder::Feed(QByteArrayView chunk) {
    SimEvents events;
    backlog.append(chunk);
    qsizetype start = 0;
    while (start < backlog.size()) {
        const QByteArrayView rest = QByteArrayView(backlog).sliced(start);
        qsizetype used = 0;
        SimEvents found;
        Parse family = ParseFrame(rest, used, found);
        if (family == Parse::NotMine) {
            const CommandMatcher::Match match = commands->Take(rest);
            if (match.state == CommandMatcher::State::Complete) {
                family = Parse::Consumed;
                used = match.size;
                found.push_back(match.event);
            } else if (match.state == CommandMatcher::State::Partial) {
                family = Parse::NeedMore;
            }
        }
        if (family == Parse::NeedMore)
            break;
        if (family == Parse::Consumed && used > 0) {
            ReportUnknown(events);
            events.insert(events.end(), found.begin(), found.end());
            start += used;
            continue;
        }
        const char loose = rest.front();
        if (!TakeLooseByte(loose)) {
            unknown.append(loose);
            if (unknown.size() >= MaxUnknownRun)
                ReportUnknown(events);
        }
        ++start;
    }
    backlog.remove(0, start);
    return events;
}

SimEvents SignDecoder::Flush() {
    SimEvents events;
    // What waits here is the start of a frame that never completed: give up its first byte
    // and look again, so frames that arrived behind a false start are still recognised.
    while (!backlog.isEmpty()) {
        unknown.append(backlog.front());
        const QByteArray rest = backlog.mid(1);
        backlog.clear();
        const SimEvents found = Feed(rest);
        events.insert(events.end(), found.begin(), found.end());
    }
    ReportUnknown(events);
    FlushFamily(events);
    return events;
}

} // namespace vexa
