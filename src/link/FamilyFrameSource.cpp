#include "link/FamilyFrameSource.h"

#include "link/families/LinkFamilies.h"

namespace vexa {

FrameSequence FamilyFrameSource::MessageSequence(const SendInputs& inputs) const {
    return LinkFamilies::SendSequence(inputs);
}

FrameStep FamilyFrameSource::PowerStep(int id, bool on) const {
    return LinkFamilies::PowerStep(id, on);
}

FrameSequence FamilyFrameSource::ScanSequence() const {
    return LinkFamilies::ScanSequence();
}

FrameStep FamilyFrameSource::ReadIdStep(LinkFamily family) const {
    return LinkFamilies::ReadIdStep(family);
}

FrameStep FamilyFrameSource::SetIdStep(LinkFamily family, int currentId, int newId) const {
    return LinkFamilies::SetIdStep(family, currentId, newId);
}

FrameStep FamilyFrameSource::ClockStep(LinkFamily family, const QDateTime& localTime) const {
    return LinkFamilies::ClockStep(family, localTime);
}

} // namespace vexa
