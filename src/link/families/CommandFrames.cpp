#include "link/families/CommandFrames.h"

#include "link/families/FrameBytes.h"

namespace vexa {

QByteArray CommandFrames::PowerFrame(int id, bool on) {
    return on ? FrameBytes::Of({0x7E, id, 0xCF, 0x00, 0xD0, 0x7E})
              : FrameBytes::Of({0x7E, id, 0xCF, 0x01, 0xD1, 0x7E});
}

FrameStep CommandFrames::PowerStep(int id, bool on) {
    return {PowerFrame(id, on), 0, -1,
            QStringLiteral("power %1, sign %2")
                .arg(on ? QStringLiteral("on") : QStringLiteral("off"))
                .arg(id & 0xFF)};
}

QByteArray CommandFrames::ScanFrame(int id) {
    return FrameBytes::Of({0x7E, id, 0xF2, 0x00, 0x00, 0x00, 0x7E});
}

FrameSequence CommandFrames::ScanSequence() {
    FrameSequence steps;
    steps.reserve(LastScanId - FirstScanId + 1);
    for (int id = FirstScanId; id <= LastScanId; ++id)
        steps.push_back(
            {ScanFrame(id), ScanPauseMs, id * 100 / 255, QStringLiteral("scan probe, ID %1").arg(id)});
    return steps;
}

QByteArray CommandFrames::ReadIdFrame() {
    return FrameBytes::Of({0x48, 0x65, 0x6C, 0x96, 0x6F});
}

QByteArray CommandFrames::SetIdFrame(int currentId, int newId) {
    return FrameBytes::Of({0x48, currentId, newId, 0x9A, 0x6F});
}

FrameStep CommandFrames::ReadIdStep() {
    return {ReadIdFrame(), 0, -1, QStringLiteral("read ID")};
}

FrameStep CommandFrames::SetIdStep(int currentId, int newId) {
    return {SetIdFrame(currentId, newId), 0, -1, QStringLiteral("set ID %1 to %2").arg(currentId).arg(newId)};
}

FrameStep CommandFrames::ClockStep(const QDateTime& now) {
    return {ClockFrame(now), 0, -1,
            QStringLiteral("clock ") + now.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss, dddd"))};
}

QByteArray CommandFrames::ClockFrame(const QDateTime& now) {
    const QDate date = now.date();
    const QTime time = now.time();
    return FrameBytes::Of({0xAA,
                           0xAA,
                           0xAA,
                           0xAA,
                           0x02,
                           0x00,
                           0x00,
                           0x01,
                           0x00,
                           0x08,
                           0x00,
                           0x40,
                           0x10,
                           date.dayOfWeek() % 7,
                           date.year() >> 8,
                           date.year(),
                           date.month(),
                           date.day(),
                           time.hour(),
                           time.minute(),
                           time.second(),
                           0x02,
                           0x01,
                           0x55,
                           0x88});
}

} // namespace vexa
