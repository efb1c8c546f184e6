#pragma once

#include "link/FrameSource.h"

namespace vexa {

// The frames of the six protocol families, as the family registry builds them.
class FamilyFrameSource : public FrameSource {
public:
    FrameSequence MessageSequence(const SendInputs& inputs) const override;
    FrameStep PowerStep(int id, bool on) const override;
    FrameSequence ScanSequence() const override;
    FrameStep ReadIdStep(LinkFamily family) const override;
    FrameStep SetIdStep(LinkFamily family, int currentId, int newId) const override;
    FrameStep ClockStep(LinkFamily family, const QDateTime& localTime) const override;
};

} // namespace vexa
