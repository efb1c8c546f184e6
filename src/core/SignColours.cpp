#include "core/SignColours.h"

#include <array>

namespace vexa {

namespace {

constexpr std::array kTwoColourLights{SignLight::Red, SignLight::Green, SignLight::Yellow};
constexpr std::array kOneColourLights{SignLight::Single};

struct LedEntry {
    LedColour led;
    const char* name;
    quint32 argb;
};

constexpr std::array<LedEntry, 4> kLeds{{
    {LedColour::Red, "red", 0xFFFF0000u},
    {LedColour::Amber, "amber", 0xFFFFB000u},
    {LedColour::Green, "green", 0xFF00FF00u},
    {LedColour::White, "white", 0xFFFFFFFFu},
}};

const LedEntry& EntryOf(LedColour led) {
    for (const LedEntry& entry : kLeds) {
        if (entry.led == led)
            return entry;
    }
    return kLeds.front();
}

} // namespace

std::span<const SignLight> SignColours::LightsOf(PackKind kind) {
    if (IsSingleColour(kind))
        return kOneColourLights;
    return kTwoColourLights;
}

quint32 SignColours::ArgbOf(SignLight light, LedColour led) {
    switch (light) {
    case SignLight::Dark:
        return OpaqueBlack;
    case SignLight::Red:
        return PureRed;
    case SignLight::Green:
        return PureGreen;
    case SignLight::Yellow:
        return PureYellow;
    case SignLight::Single:
        return EntryOf(led).argb;
    }
    return OpaqueBlack;
}

quint32 SignColours::ExportArgbOf(SignLight light) {
    switch (light) {
    case SignLight::Dark:
        return OpaqueBlack;
    case SignLight::Red:
        return PureRed;
    case SignLight::Green:
        return PureGreen;
    case SignLight::Yellow:
    case SignLight::Single:
        return PureYellow;
    }
    return OpaqueBlack;
}

QString SignColours::LedColourName(LedColour led) {
    return QString::fromLatin1(EntryOf(led).name);
}

std::optional<LedColour> SignColours::LedColourFromName(QStringView name) {
    const QStringView trimmed = name.trimmed();
    for (const LedEntry& entry : kLeds) {
        if (trimmed.compare(QLatin1String(entry.name), Qt::CaseInsensitive) == 0)
            return entry.led;
    }
    return std::nullopt;
}

QString SignColours::LightName(SignLight light, LedColour led) {
    switch (light) {
    case SignLight::Dark:
        return QStringLiteral("dark");
    case SignLight::Red:
        return QStringLiteral("red");
    case SignLight::Green:
        return QStringLiteral("green");
    case SignLight::Yellow:
        return QStringLiteral("yellow");
    case SignLight::Single:
        return LedColourName(led);
    }
    return {};
}

} // namespace vexa
