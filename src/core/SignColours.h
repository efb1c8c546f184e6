#pragma once

#include "core/ModelCatalogue.h"

#include <QString>
#include <QStringView>
#include <QtGlobal>
#include <optional>
#include <span>

namespace vexa {

// The colour a sign lights for one dot.
enum class SignLight : quint8 {
    Dark,
    Red,
    Green,
    Yellow, // red and green lit together
    Single, // the one colour of a single-colour sign
};

// The LED colour of a single-colour sign: it cannot be told from the model, so the operator
// chooses it (red unless chosen otherwise).
enum class LedColour : quint8 { Red, Amber, Green, White };

// The one rule of what a sign lights for a pixel of an exported message bitmap (ARGB,
// as QRgb holds it). The packer builds its bytes from it, and every picture of what the
// sign shows (previews, prepared pictures, playback, the simulator) colours its dots by it,
// so a preview cannot show a colour the sign does not light.
//
//   plane models        red and green planes: only pure red, green and yellow are lit
//   2-bit models        pure red, pure green, every other colour but opaque black is yellow
//   1-bit and character-code models
//                       every pixel that is neither opaque black nor fully transparent is lit
//                       in the sign's one colour
class SignColours {
public:
    static constexpr quint32 OpaqueBlack = 0xFF000000u;
    static constexpr quint32 PureRed = 0xFFFF0000u;
    static constexpr quint32 PureGreen = 0xFF00FF00u;
    static constexpr quint32 PureYellow = 0xFFFFFF00u;

    // The red plane of plane packing: pure red or yellow.
    static constexpr bool InRedPlane(quint32 argb) { return argb == PureRed || argb == PureYellow; }
    // The green plane of plane packing: pure green or yellow.
    static constexpr bool InGreenPlane(quint32 argb) { return argb == PureGreen || argb == PureYellow; }
    // A lit dot of 1-bit packing: neither opaque black nor fully transparent.
    static constexpr bool LitInOneColour(quint32 argb) { return argb != OpaqueBlack && (argb >> 24) != 0; }

    // What a sign of the packing kind lights for one exported pixel.
    static constexpr SignLight LightOf(PackKind kind, quint32 argb) {
        switch (kind) {
        case PackKind::ColourPlanes:
            return PlaneLight(InRedPlane(argb), InGreenPlane(argb));
        case PackKind::TwoBitPages:
            if (argb == OpaqueBlack)
                return SignLight::Dark;
            if (argb == PureRed)
                return SignLight::Red;
            if (argb == PureGreen)
                return SignLight::Green;
            return SignLight::Yellow;
        case PackKind::OneBit:
        case PackKind::CharacterCodes:
            break;
        }
        return LitInOneColour(argb) ? SignLight::Single : SignLight::Dark;
    }

    static constexpr SignLight LightOf(const DisplayModel& model, quint32 argb) {
        return LightOf(model.packKind, argb);
    }

    // True for the kinds whose signs light every dot in one colour.
    static constexpr bool IsSingleColour(PackKind kind) {
        return kind == PackKind::OneBit || kind == PackKind::CharacterCodes;
    }

    // The colours a sign of the kind can light, dark excluded.
    static std::span<const SignLight> LightsOf(PackKind kind);

    // The opaque colour a preview shows for a light (dark: opaque black); Single takes the
    // LED colour.
    static quint32 ArgbOf(SignLight light, LedColour led);
    // LightOf and ArgbOf in one: the preview pixel of an exported pixel.
    static quint32 PreviewArgb(PackKind kind, LedColour led, quint32 argb) {
        return ArgbOf(LightOf(kind, argb), led);
    }

    // The exported pixel that lights a colour: what a picture prepared for a sign holds.
    // Single is drawn in pure yellow, a colour every kind lights.
    static quint32 ExportArgbOf(SignLight light);

    // The setting value of an LED colour ("red", "amber", "green", "white") and back
    // (case-insensitive; nullopt for anything else).
    static QString LedColourName(LedColour led);
    static std::optional<LedColour> LedColourFromName(QStringView name);

    // The words operators read for a light ("red", "yellow", ...; Single: the LED colour).
    static QString LightName(SignLight light, LedColour led);

private:
    static constexpr SignLight PlaneLight(bool red, bool green) {
        if (red && green)
            return SignLight::Yellow;
        if (red)
            return SignLight::Red;
        return green ? SignLight::Green : SignLight::Dark;
    }
};

} // namespace vexa
