#include "render/TextColourList.h"

#include "render/TextRasteriser.h"

#include <QStringList>

namespace vexa {

namespace {

constexpr std::array<TextColourList::Entry, TextColourList::Count> kEntries = {{
    {155, 0xFFFF0000u},
    {156, 0xFF00FF00u},
    {154, 0xFFFFFF00u},
    {157, 0xFFFF00FFu},
    {158, 0xFF00FFFFu},
    {159, 0xFF0096FFu},
    {160, 0xFF9600FFu},
    {161, 0xFFFF9600u},
    {162, 0xFFA0E900u},
}};

QString BandName(QRgb band) {
    switch (band & 0x00FFFFFFu) {
    case 0xFF0000u:
        return QStringLiteral("red");
    case 0x00FF00u:
        return QStringLiteral("green");
    case 0xFFFF00u:
        return QStringLiteral("yellow");
    default:
        break;
    }
    return QStringLiteral("#%1").arg(band & 0x00FFFFFFu, 6, 16, QLatin1Char('0'));
}

} // namespace

const TextColourList::Entry& TextColourList::At(int index) {
    return kEntries.at(static_cast<size_t>(IsValid(index) ? index : 0));
}

int TextColourList::IndexOf(QRgb colour) {
    for (int i = 0; i < Count; ++i) {
        if ((kEntries[static_cast<size_t>(i)].colour & 0x00FFFFFFu) == (colour & 0x00FFFFFFu))
            return i;
    }
    return -1;
}

int TextColourList::IndexOfIcon(int iconId) {
    for (int i = 0; i < Count; ++i) {
        if (kEntries[static_cast<size_t>(i)].iconId == iconId)
            return i;
    }
    return -1;
}

QString TextColourList::Name(int index) {
    if (!IsValid(index))
        return {};
    const auto bands = TextRasteriser::ColourBands(At(index).colour);
    if (!TextRasteriser::IsBanded(At(index).colour)) {
        QString name = BandName(bands[0]);
        name[0] = name[0].toUpper();
        return name;
    }
    QString name =
        QStringLiteral("%1, %2 and %3 bands").arg(BandName(bands[0]), BandName(bands[1]), BandName(bands[2]));
    name[0] = name[0].toUpper();
    return name;
}

} // namespace vexa
