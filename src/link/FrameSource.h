#pragma once

#include "core/ModelCatalogue.h"
#include "link/FrameStep.h"

#include <QByteArray>
#include <QDateTime>

namespace vexa {

struct SendInputs;

// Where the link engine gets its bytes from: the message sequence of a send and the
// single command frames, each built by the protocol family. The engine only executes
// what it gets (write, wait until sent, report progress, pause).
class FrameSource {
public:
    virtual ~FrameSource() = default;

    // Every frame and pause of one sign's message send.
    virtual FrameSequence MessageSequence(const SendInputs& inputs) const = 0;
    virtual FrameStep PowerStep(int id, bool on) const = 0;
    // The probes of IDs 1..254 with their progress and pauses.
    virtual FrameSequence ScanSequence() const = 0;
    virtual FrameStep ReadIdStep(LinkFamily family) const = 0;
    virtual FrameStep SetIdStep(LinkFamily family, int currentId, int newId) const = 0;
    virtual FrameStep ClockStep(LinkFamily family, const QDateTime& localTime) const = 0;
};

} // namespace vexa
