#include "link/families/addressed_blocks/AddressedBlocksFamily.h"

#include "link/families/FrameBytes.h"
#include "link/families/FrameLabels.h"
#include "link/families/PayloadView.h"

#include <algorithm>
#include <array>

namespace vexa {

namespace {

constexpr std::array<int, 7> EffectCodes{0x01, 0x04, 0x05, 0x06, 0x07, 0x0C, 0x0E};
constexpr int DefaultEffectCode = 0x01;

} // namespace

int AddressedBlocksFamily::EffectCode(int effectIndex) {
    if (effectIndex < 0 || effectIndex >= static_cast<int>(EffectCodes.size()))
        return DefaultEffectCode;
    return EffectCodes.at(static_cast<size_t>(effectIndex));
}

QByteArray AddressedBlocksFamily::BlockFrame(const SendInputs& inputs, int slot, int page, int mark) {
    const PayloadView view(inputs);
    QByteArray frame(BlockSize, '\0');
    FrameBytes::Put(frame, 0, 0x7E);
    FrameBytes::Put(frame, 1, view.IdByte());
    FrameBytes::Put(frame, 2, mark);
    FrameBytes::PutWord(frame, 3, BlocksPerSlot * slot + page);
    if (page == 0) {
        const SlotParams& params = view.Params(slot);
        FrameBytes::Put(frame, 12, 0x02);
        FrameBytes::Put(frame, 13, EffectCode(params.effect));
        FrameBytes::Put(frame, 14, params.speed);
        FrameBytes::Put(frame, 15, params.holdTime);
        FrameBytes::Put(frame, 16, params.marquee);
        FrameBytes::Put(frame, 17, view.Pages(0, slot));
    }
    const QByteArrayView entry = view.Entry(0, slot);
    const qsizetype start = std::min<qsizetype>(qsizetype(page) * PageBytes, entry.size());
    const qsizetype count = std::min<qsizetype>(PageBytes, entry.size() - start);
    std::copy_n(entry.data() + start, count, frame.data() + 19);
    FrameBytes::Put(frame, 275, 0x88);
    return frame;
}

QString AddressedBlocksFamily::BlockLabel(const SendInputs& inputs, int slot, int page, int pages, int mark) {
    const PayloadView view(inputs);
    QString label = QStringLiteral("block %1 of sign %2: slot %3 page %4 of %5")
                        .arg(BlocksPerSlot * slot + page)
                        .arg(view.IdByte())
                        .arg(slot)
                        .arg(page)
                        .arg(pages);
    if (page == 0) {
        const SlotParams& params = view.Params(slot);
        const QString effect = FrameLabels::Effect(inputs.effectListSet, params.effect);
        label += QStringLiteral(", effect %1%2, speed %3, time %4, marquee %5")
                     .arg(effect, EffectCode(params.effect) == DefaultEffectCode && params.effect != 0
                                      ? QStringLiteral(" (sent as Fix)")
                                      : QString())
                     .arg(params.speed)
                     .arg(params.holdTime)
                     .arg(FrameLabels::OnOff(params.marquee));
    }
    if (mark == LastPageMark)
        label += QStringLiteral(", marked last");
    return label;
}

QByteArray AddressedBlocksFamily::MessageEndFrame(int id, int slot) {
    const int block = BlocksPerSlot * slot;
    return FrameBytes::Of({0x7E, id, 0xCD, block >> 8, block, 0x00, 0xFE, 0x7E});
}

int AddressedBlocksFamily::GroupProgress(int progress, int groupIndex, int groupCount) {
    if (groupCount <= 1)
        return progress;
    const int index = std::clamp(groupIndex, 0, groupCount - 1);
    return (progress + 100 * index) / groupCount;
}

FrameSequence AddressedBlocksFamily::Sequence(const SendInputs& inputs) {
    const PayloadView view(inputs);
    qint64 total = view.SlotCount();
    for (int j = 0; j < view.SlotCount(); ++j)
        total += view.Pages(0, j);

    auto progressAfter = [&](qint64 sent) {
        return GroupProgress(FrameBytes::Percent(sent, total), inputs.groupIndex, inputs.groupCount);
    };

    FrameSequence steps;
    qint64 sent = 0;
    // Once the last page of a multi-page message has gone out marked 99, the signs in the
    // field get 99 on every later block of the same send.
    int mark = PlainMark;
    for (int j = 0; j < view.SlotCount(); ++j) {
        if (view.HasData(0, j)) {
            const int pages = view.Pages(0, j);
            for (int page = 0; page < pages; ++page) {
                if (pages > 1 && page == pages - 1)
                    mark = LastPageMark;
                ++sent;
                steps.push_back({BlockFrame(inputs, j, page, mark), 0, progressAfter(sent),
                                 BlockLabel(inputs, j, page, pages, mark)});
            }
        }
        ++sent;
        steps.push_back({MessageEndFrame(view.IdByte(), j), 0, progressAfter(sent),
                         QStringLiteral("end of slot %1, sign %2").arg(j).arg(view.IdByte())});
    }
    return steps;
}

FrameStep AddressedBlocksFamily::ReadIdStep() {
    return {ReadIdFrame(), 0, -1, QStringLiteral("read ID")};
}

FrameStep AddressedBlocksFamily::SetIdStep(int currentId, int newId) {
    return {SetIdFrame(currentId, newId), 0, -1, QStringLiteral("set ID %1 to %2").arg(currentId).arg(newId)};
}

FrameStep AddressedBlocksFamily::ClockStep(const QDateTime& now) {
    return {ClockFrame(now), 0, -1,
            QStringLiteral("clock ") + now.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss, dddd"))};
}

QByteArray AddressedBlocksFamily::ReadIdFrame() {
    return FrameBytes::Of({0x7E, 0x01, 0xF2, 0x00, 0x00, 0x00, 0x7E});
}

QByteArray AddressedBlocksFamily::SetIdFrame(int currentId, int newId) {
    return FrameBytes::Of({0x7E, currentId, 0x1D, newId, 0x00, 0x7E});
}

QByteArray AddressedBlocksFamily::ClockFrame(const QDateTime& now) {
    const QDate date = now.date();
    const QTime time = now.time();
    return FrameBytes::Of({0x7E, 0x01, 0xF1, 0x00, 0x00, time.second(), time.minute(), time.hour(),
                           date.day(), date.month(), date.dayOfWeek() % 7, date.year(), 0x4D, 0x7E});
}

} // namespace vexa
