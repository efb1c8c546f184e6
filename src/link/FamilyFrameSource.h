#pragma once

#include "link/FrameSource.h"

namespace vexa {

// The frames of the six protocol families, as the family registry builds them.
class FamilyFrameSource : public FrameSource {
public:
    FrameSequence MessageSequence(const SendInputs& inputs) const override;
    QByteArray PowerFrame(int id, bool on) const override;
    FrameSequence ScanSequence() const override;
    QByteArray ReadIdFrame(LinkFamily family) const override;
    QByteArray SetIdFrame(LinkFamily family, int currentId, int newId) const override;
    QByteArray ClockFrame(LinkFamily family, const QDateTime& localTime) const override;
};

} // namespace vexa
