#include "link/families/slot_trailer/SlotTrailerFamily.h"

#include "link/families/FrameBytes.h"
#include "link/families/PayloadView.h"

namespace vexa {

QByteArray SlotTrailerFamily::MessageTrailer(int slot, const SlotParams& params) {
    return FrameBytes::Of({0xFA, 0xAF, 0xFF, 0xFF, 0x30 + slot, params.speed, params.effect, 0xFF, 0xFF, 0xFF,
                           0xFF, params.sendFlag == 1 ? 0x5A : 0xFF});
}

QByteArray SlotTrailerFamily::ClockFrame(const QDateTime& now) {
    const QTime time = now.time();
    QByteArray frame = QStringLiteral("%1:%2:%3")
                           .arg(time.hour(), 2, 10, QLatin1Char('0'))
                           .arg(time.minute(), 2, 10, QLatin1Char('0'))
                           .arg(time.second(), 2, 10, QLatin1Char('0'))
                           .toLatin1();
    frame += FrameBytes::Of({0xFA, 0xAF, 0xFF, 0xFF, 0x30, 0x33, 0x30, 0xFF, 0xFF, 0xFF, 0xFF, 0x7A});
    return frame;
}

FrameSequence SlotTrailerFamily::Sequence(const SendInputs& inputs) {
    const PayloadView view(inputs);
    qint64 total = 0;
    for (int j = 0; j < view.SlotCount(); ++j)
        total += (view.HasData(0, j) ? view.Length(0, j) : 0) + TrailerSize;

    FrameSequence steps;
    qint64 sent = 0;
    for (int j = 0; j < view.SlotCount(); ++j) {
        if (view.HasData(0, j)) {
            const QByteArrayView entry = view.Entry(0, j);
            sent += entry.size();
            steps.push_back({entry.toByteArray(), 0, FrameBytes::Percent(sent, total)});
        }
        sent += TrailerSize;
        steps.push_back(
            {MessageTrailer(j, view.Params(j)), TrailerPauseMs, FrameBytes::Percent(sent, total)});
    }
    return steps;
}

} // namespace vexa
