#include "link/FamilyFrameSource.h"

#include "link/families/LinkFamilies.h"

namespace vexa {

FrameSequence FamilyFrameSource::MessageSequence(const SendInputs& inputs) const {
    return LinkFamilies::SendSequence(inputs);
}

QByteArray FamilyFrameSource::PowerFrame(int id, bool on) const {
    return LinkFamilies::PowerFrame(id, on);
}

FrameSequence FamilyFrameSource::ScanSequence() const {
    return LinkFamilies::ScanSequence();
}

QByteArray FamilyFrameSource::ReadIdFrame(LinkFamily family) const {
    return LinkFamilies::ReadIdFrame(family);
}

QByteArray FamilyFrameSource::SetIdFrame(LinkFamily family, int currentId, int newId) const {
    return LinkFamilies::SetIdFrame(family, currentId, newId);
}

QByteArray FamilyFrameSource::ClockFrame(LinkFamily family, const QDateTime& localTime) const {
    return LinkFamilies::ClockFrame(family, localTime);
}

} // namespace vexa
