#include "link/families/slot_trailer/SlotTrailerFamily.h"

#include "link/families/FrameBytes.h"
#include "link/families/FrameLabels.h"
#include "link/families/PayloadView.h"

namespace vexa {

QByteArray SlotTrailerFamily::MessageTrailer(int slot, const SlotParams& params) {
    return FrameBytes::Of({0xFA, 0xAF, 0xFF, 0xFF, 0x30 + slot, params.speed, params.effect, 0xFF, 0xFF, 0xFF,
                           0xFF, params.sendFlag == 1 ? 0x5A : 0xFF});
}

FrameStep SlotTrailerFamily::ClockStep(const QDateTime& now) {
    return {ClockFrame(now), 0, -1,
            QStringLiteral("clock %1").arg(now.time().toString(QStringLiteral("HH:mm:ss")))};
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
            steps.push_back({entry.toByteArray(), 0, FrameBytes::Percent(sent, total),
                             QStringLiteral("slot %1 text: %2 bytes").arg(j).arg(entry.size())});
        }
        sent += TrailerSize;
        const SlotParams& params = view.Params(j);
        steps.push_back({MessageTrailer(j, params), TrailerPauseMs, FrameBytes::Percent(sent, total),
                         QStringLiteral("trailer of slot %1: effect %2, speed %3, send %4")
                             .arg(j)
                             .arg(FrameLabels::Effect(inputs.effectListSet, params.effect))
                             .arg(params.speed)
                             .arg(FrameLabels::OnOff(params.sendFlag == 1))});
    }
    return steps;
}

} // namespace vexa
