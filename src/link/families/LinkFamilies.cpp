#include "link/families/LinkFamilies.h"

#include "link/families/CommandFrames.h"
#include "link/families/addressed_blocks/AddressedBlocksFamily.h"
#include "link/families/paged_blocks/PagedBlocksFamily.h"
#include "link/families/row_directory/RowDirectoryFamily.h"
#include "link/families/slot_trailer/SlotTrailerFamily.h"

#include <array>

namespace vexa {

namespace {

FrameSequence RowDirectorySend(const SendInputs& inputs) {
    return RowDirectoryFamily::Sequence(inputs);
}

const std::array<LinkFamilies::Family, 6> Families{{
    {LinkFamily::RowDirectory12, "RowDirectory12", &RowDirectorySend, &CommandFrames::ReadIdFrame,
     &CommandFrames::SetIdFrame, &CommandFrames::ClockFrame},
    {LinkFamily::RowDirectory, "RowDirectory", &RowDirectorySend, &CommandFrames::ReadIdFrame,
     &CommandFrames::SetIdFrame, &CommandFrames::ClockFrame},
    {LinkFamily::PagedBlocks, "PagedBlocks", &PagedBlocksFamily::Sequence, &CommandFrames::ReadIdFrame,
     &CommandFrames::SetIdFrame, &CommandFrames::ClockFrame},
    {LinkFamily::SlotTrailer, "SlotTrailer", &SlotTrailerFamily::Sequence, &CommandFrames::ReadIdFrame,
     &CommandFrames::SetIdFrame, &SlotTrailerFamily::ClockFrame},
    {LinkFamily::RowDirectoryPaired, "RowDirectoryPaired", &RowDirectorySend, &CommandFrames::ReadIdFrame,
     &CommandFrames::SetIdFrame, &CommandFrames::ClockFrame},
    {LinkFamily::AddressedBlocks, "AddressedBlocks", &AddressedBlocksFamily::Sequence,
     &AddressedBlocksFamily::ReadIdFrame, &AddressedBlocksFamily::SetIdFrame,
     &AddressedBlocksFamily::ClockFrame},
}};

} // namespace

std::span<const LinkFamilies::Family> LinkFamilies::All() {
    return Families;
}

const LinkFamilies::Family* LinkFamilies::Find(LinkFamily code) {
    for (const Family& family : Families)
        if (family.code == code)
            return &family;
    return nullptr;
}

FrameSequence LinkFamilies::SendSequence(const SendInputs& inputs) {
    const Family* family = Find(inputs.family);
    return family ? family->sendSequence(inputs) : FrameSequence{};
}

QByteArray LinkFamilies::ReadIdFrame(LinkFamily family) {
    const Family* row = Find(family);
    return row ? row->readIdFrame() : QByteArray();
}

QByteArray LinkFamilies::SetIdFrame(LinkFamily family, int currentId, int newId) {
    const Family* row = Find(family);
    return row ? row->setIdFrame(currentId, newId) : QByteArray();
}

QByteArray LinkFamilies::ClockFrame(LinkFamily family, const QDateTime& now) {
    const Family* row = Find(family);
    return row ? row->clockFrame(now) : QByteArray();
}

QByteArray LinkFamilies::PowerFrame(int id, bool on) {
    return CommandFrames::PowerFrame(id, on);
}

FrameSequence LinkFamilies::ScanSequence() {
    return CommandFrames::ScanSequence();
}

} // namespace vexa
