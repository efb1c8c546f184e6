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
    {LinkFamily::RowDirectory12, "RowDirectory12", LinkFamilies::Addressing::With485, &RowDirectorySend,
     &CommandFrames::ReadIdStep, &CommandFrames::SetIdStep, &CommandFrames::ClockStep},
    {LinkFamily::RowDirectory, "RowDirectory", LinkFamilies::Addressing::With485, &RowDirectorySend,
     &CommandFrames::ReadIdStep, &CommandFrames::SetIdStep, &CommandFrames::ClockStep},
    {LinkFamily::PagedBlocks, "PagedBlocks", LinkFamilies::Addressing::With485, &PagedBlocksFamily::Sequence,
     &CommandFrames::ReadIdStep, &CommandFrames::SetIdStep, &CommandFrames::ClockStep},
    {LinkFamily::SlotTrailer, "SlotTrailer", LinkFamilies::Addressing::Never, &SlotTrailerFamily::Sequence,
     &CommandFrames::ReadIdStep, &CommandFrames::SetIdStep, &SlotTrailerFamily::ClockStep},
    {LinkFamily::RowDirectoryPaired, "RowDirectoryPaired", LinkFamilies::Addressing::With485,
     &RowDirectorySend, &CommandFrames::ReadIdStep, &CommandFrames::SetIdStep, &CommandFrames::ClockStep},
    {LinkFamily::AddressedBlocks, "AddressedBlocks", LinkFamilies::Addressing::Always,
     &AddressedBlocksFamily::Sequence, &AddressedBlocksFamily::ReadIdStep, &AddressedBlocksFamily::SetIdStep,
     &AddressedBlocksFamily::ClockStep},
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

bool LinkFamilies::AddressesOneSign(LinkFamily family, bool address485) {
    const Family* row = Find(family);
    if (!row)
        return false;
    return row->addressing == Addressing::Always || (row->addressing == Addressing::With485 && address485);
}

FrameStep LinkFamilies::ReadIdStep(LinkFamily family) {
    const Family* row = Find(family);
    return row ? row->readIdStep() : FrameStep{};
}

FrameStep LinkFamilies::SetIdStep(LinkFamily family, int currentId, int newId) {
    const Family* row = Find(family);
    return row ? row->setIdStep(currentId, newId) : FrameStep{};
}

FrameStep LinkFamilies::ClockStep(LinkFamily family, const QDateTime& now) {
    const Family* row = Find(family);
    return row ? row->clockStep(now) : FrameStep{};
}

FrameStep LinkFamilies::PowerStep(int id, bool on) {
    return CommandFrames::PowerStep(id, on);
}

FrameSequence LinkFamilies::ScanSequence() {
    return CommandFrames::ScanSequence();
}

} // namespace vexa
