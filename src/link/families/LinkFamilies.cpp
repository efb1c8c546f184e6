#include "link/families/LinkFamilies.h"

#include "link/families/CommandFrames.h"
#include "link/families/addressed_blocks/AddressedBlocksFamily.h"
#include "link/families/paged_blocks/PagedBlocksFamily.h"
#include "link/families/row_directory/RowDirectoryFamily.h"
#include "link/families/slot_trailer/SlotTrailerFamily.h"

#include <array>

namespace vexa {

namespace {

FrameSequence RowDirectorySend(const SendInputs& inputs) { return RowDirectoryFamily::Sequence(inputs); }

const std::array<LinkFamilies::Family, 6> Families{{
    {LinkFamily::RowDirectory12, "row_directory", &RowDirectorySend, &CommandFrames::ReadIdFrame,
     &CommandFrames::SetIdFrame, &CommandFrames::ClockFrame},
    {LinkFamily::RowDirectory, "row_directory", &RowDirectorySend, &CommandFrames::ReadIdFrame,
     &CommandFrames::SetIdFrame, &CommandFrames::ClockFrame},
    {LinkFamily::PagedBlocks, "paged_blocks", &PagedBlocksFamily::Sequence, &CommandFrames::ReadIdFrame,
     &CommandFrames::SetIdFrame, &CommandFrames::ClockFrame},
    {LinkFamily::SlotTrailer, "slot_trailer", &SlotTrailerFamily::Sequence, &CommandFrames::ReadIdFrame,
     &CommandFrames::SetIdFrame, &SlotTrailerFamily::ClockFrame},
    {LinkFamily::RowDirectoryPaired, "row_directory", &RowDirectorySend, &CommandFrames::ReadIdFrame,
     &CommandFrames::SetIdFrame, &CommandFrames::ClockFrame},
    {LinkFamily::AddressedBlocks, "addressed_blocks", &AddressedBlocksFamily::Sequence,
     &AddressedBlocksFamily::ReadIdFrame, &AddressedBlocksFamily::SetIdFrame, &AddressedBlocksFamily::ClockFrame},
}};

} // namespace

std::span<const LinkFamilies::Family> LinkFamilies::All() { return Families; }

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

QByteArray LinkFamilies::PowerFrame(int id, bool on) { return CommandFrames::PowerFrame(id, on); }

FrameSequence LinkFamilies::ScanSequence() { return CommandFrames::ScanSequence(); }

} // namespace vexa
