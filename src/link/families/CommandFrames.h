#pragma once

#include "link/FrameStep.h"

#include <QByteArray>
#include <QDateTime>

namespace vexa {

// Single command frames shared by several families: power and scan go to every family with
// the ID inside; the read-ID, set-ID and 25-byte clock frames are those of families 0, 1, 2, 4.
class CommandFrames {
public:
    static constexpr int FirstScanId = 1;
    static constexpr int LastScanId = 254;
    static constexpr int ScanPauseMs = 20;

    static QByteArray PowerFrame(int id, bool on);
    static FrameStep PowerStep(int id, bool on);
    static QByteArray ScanFrame(int id);
    // Probes for IDs 1..254, each followed by 20 ms; progress ID × 100 / 255, truncated.
    static FrameSequence ScanSequence();

    static QByteArray ReadIdFrame();
    static QByteArray SetIdFrame(int currentId, int newId);
    static QByteArray ClockFrame(const QDateTime& now);

    // The same frames with the words that say what they are.
    static FrameStep ReadIdStep();
    static FrameStep SetIdStep(int currentId, int newId);
    static FrameStep ClockStep(const QDateTime& now);
};

} // namespace vexa
