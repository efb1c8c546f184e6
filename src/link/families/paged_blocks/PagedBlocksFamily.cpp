#include "link/families/paged_blocks/PagedBlocksFamily.h"

#include "link/families/FrameBytes.h"
#include "link/families/FrameLabels.h"
#include "link/families/PayloadView.h"

#include <algorithm>

namespace vexa {

namespace {

// The frame every header and page starts from: lead-in, 485 address, fixed fields, end mark.
QByteArray BaseFrame(const SendInputs& inputs, int slot) {
    QByteArray frame(PagedBlocksFamily::FrameSize, '\0');
    for (int at = 0; at < 4; ++at)
        FrameBytes::Put(frame, at, 0xAA);
    if (inputs.address485) {
        FrameBytes::Put(frame, 2, inputs.currentId);
        FrameBytes::Put(frame, 3, inputs.currentId);
    }
    FrameBytes::Put(frame, 4, 0x01);
    FrameBytes::Put(frame, 8, 0x01);
    FrameBytes::Put(frame, 11, 0x40);
    FrameBytes::Put(frame, 12, 0x10);
    FrameBytes::Put(frame, 13, slot);
    FrameBytes::Put(frame, 272, 0x88);
    return frame;
}

} // namespace

int PagedBlocksFamily::UnitSize(int pageWidth) {
    return std::max(4 * pageWidth, 256);
}

QByteArray PagedBlocksFamily::MessageHeaderFrame(const SendInputs& inputs, int slot) {
    const PayloadView view(inputs);
    const SlotParams& params = view.Params(slot);
    QByteArray frame = BaseFrame(inputs, slot);
    FrameBytes::Put(frame, 14, 0xAA);
    FrameBytes::Put(frame, 15, 0x55);
    FrameBytes::PutWord(frame, 16, view.Length(0, slot) / UnitSize(inputs.pageWidth));
    FrameBytes::Put(frame, 18, params.effect);
    FrameBytes::Put(frame, 19, params.speed);
    FrameBytes::Put(frame, 20, params.holdTime);
    FrameBytes::Put(frame, 21, params.marquee);
    return frame;
}

QByteArray PagedBlocksFamily::EmptyHeaderFrame(const SendInputs& inputs, int slot) {
    QByteArray frame = BaseFrame(inputs, slot);
    FrameBytes::Put(frame, 7, 0x01);
    return frame;
}

QByteArray PagedBlocksFamily::PageFrame(const SendInputs& inputs, int slot, int page) {
    const PayloadView view(inputs);
    QByteArray frame = BaseFrame(inputs, slot);
    FrameBytes::Put(frame, 6, 0x10 + page);
    FrameBytes::Put(frame, 7, 0x01);
    const QByteArrayView entry = view.Entry(0, slot);
    const qsizetype start = std::min<qsizetype>(qsizetype(page) * PageBytes, entry.size());
    const qsizetype count = std::min<qsizetype>(PageBytes, entry.size() - start);
    std::fill_n(frame.data() + 14, PageBytes, '\xFF');
    std::copy_n(entry.data() + start, count, frame.data() + 14);
    return frame;
}

FrameSequence PagedBlocksFamily::Sequence(const SendInputs& inputs) {
    const PayloadView view(inputs);
    qint64 total = view.SlotCount();
    for (int j = 0; j < view.SlotCount(); ++j)
        total += view.Pages(0, j);

    const QString sign = FrameLabels::SignSuffix(inputs.address485, view.IdByte());
    FrameSequence steps;
    qint64 sent = 0;
    for (int j = 0; j < view.SlotCount(); ++j) {
        const bool hasData = view.HasData(0, j);
        const int pages = view.Pages(0, j);
        ++sent;
        if (hasData)
            steps.push_back(
                {MessageHeaderFrame(inputs, j), HeaderPauseMs, FrameBytes::Percent(sent, total),
                 QStringLiteral("slot %1 header: %2 of %3 bytes, ")
                         .arg(j)
                         .arg(pages == 1 ? QStringLiteral("1 page") : QStringLiteral("%1 pages").arg(pages))
                         .arg(view.Length(0, j)) +
                     FrameLabels::Attributes(inputs, view.Params(j)) + sign});
        else
            steps.push_back({EmptyHeaderFrame(inputs, j), HeaderPauseMs, FrameBytes::Percent(sent, total),
                             QStringLiteral("slot %1 empty").arg(j) + sign});
        if (!hasData)
            continue;
        for (int page = 0; page < pages; ++page) {
            ++sent;
            steps.push_back({PageFrame(inputs, j, page), PagePauseMs, FrameBytes::Percent(sent, total),
                             QStringLiteral("slot %1 page %2 of %3").arg(j).arg(page).arg(pages) + sign});
        }
    }
    return steps;
}

} // namespace vexa
