#include "playback/RowSettings.h"

#include "core/ModelCatalogue.h"

#include <array>
#include <vector>

namespace vexa {

namespace {

using E = SignEffect;

const std::array<std::vector<SignEffect>, 3> kLists = {{
    {E::Left, E::Right, E::Up, E::Down, E::Fix, E::Animation, E::Snow, E::Middle},
    {E::Fix, E::Left, E::Right, E::Up, E::Down, E::Snow, E::Blink},
    {E::Left, E::Right, E::Up, E::Down, E::Fix, E::Animation, E::Snow},
}};

struct Carried {
    bool time, marquee, blink;
};

Carried CarriedBy(LinkFamily family) {
    switch (family) {
    case LinkFamily::RowDirectory12:
    case LinkFamily::RowDirectory:
    case LinkFamily::RowDirectoryPaired:
        return {false, true, true}; // the attribute byte: speed, marquee, effect, blink
    case LinkFamily::SlotTrailer:
        return {false, false, false}; // the trailer: speed and effect
    case LinkFamily::PagedBlocks:
    case LinkFamily::AddressedBlocks:
        break; // effect, speed, time and marquee
    }
    return {true, true, false};
}

} // namespace

SignEffect RowSettings::EffectOf(int effectListSet, int index) {
    if (effectListSet < 0 || effectListSet >= int(kLists.size()))
        return SignEffect::Fix;
    const auto& list = kLists[static_cast<size_t>(effectListSet)];
    return index >= 0 && index < int(list.size()) ? list[static_cast<size_t>(index)] : SignEffect::Fix;
}

RowSettings RowSettings::AsReceivedBy(const DisplayModel& model) const {
    const Carried carried = CarriedBy(model.family);
    RowSettings received = *this;
    received.effectListSet = model.effectListSet;
    if (!carried.time)
        received.time = 0;
    if (!carried.marquee)
        received.marquee = false;
    if (!carried.blink)
        received.blink = false;
    return received;
}

QStringList RowSettings::NotReceivedBy(const DisplayModel& model) const {
    const Carried carried = CarriedBy(model.family);
    QStringList lost;
    if (!carried.time && time != 0)
        lost << QStringLiteral("time");
    if (!carried.marquee && marquee)
        lost << QStringLiteral("marquee");
    if (!carried.blink && blink)
        lost << QStringLiteral("blink");
    return lost;
}

} // namespace vexa
