#pragma once

#include "link/FrameStep.h"
#include "link/families/SendInputsAccess.h"

#include <QByteArray>
#include <QDateTime>
#include <span>

namespace vexa {

// The registry of the six protocol families: each row names the builders of its message
// sequence and of its read-ID, set-ID and clock frames. The link engine only executes the
// steps these return.
class LinkFamilies {
public:
    // Whether the frames of a send name the sign they are for; a sign takes every frame
    // that names no sign.
    enum class Addressing { Never, With485, Always };

    struct Family {
        LinkFamily code;
        const char* name;
        Addressing addressing;
        FrameSequence (*sendSequence)(const SendInputs&);
        FrameStep (*readIdStep)();
        FrameStep (*setIdStep)(int currentId, int newId);
        FrameStep (*clockStep)(const QDateTime& now);
    };

    static std::span<const Family> All();
    // The row of a family; nullptr for a code outside 0..5.
    static const Family* Find(LinkFamily code);

    // The frames of one send of inputs.family; empty for an unknown family.
    static FrameSequence SendSequence(const SendInputs& inputs);
    // True when a send of the family reaches only the sign of its ID; false when every sign
    // on the line takes it (no ID in its frames).
    static bool AddressesOneSign(LinkFamily family, bool address485);
    // The command frames of a family with their labels; an empty step for an unknown family.
    static FrameStep ReadIdStep(LinkFamily family);
    static FrameStep SetIdStep(LinkFamily family, int currentId, int newId);
    static FrameStep ClockStep(LinkFamily family, const QDateTime& now);
    static FrameStep PowerStep(int id, bool on);
    static FrameSequence ScanSequence();
    // Their bytes alone.
    static QByteArray ReadIdFrame(LinkFamily family) { return ReadIdStep(family).bytes; }
    static QByteArray SetIdFrame(LinkFamily family, int currentId, int newId) {
        return SetIdStep(family, currentId, newId).bytes;
    }
    static QByteArray ClockFrame(LinkFamily family, const QDateTime& now) {
        return ClockStep(family, now).bytes;
    }
    static QByteArray PowerFrame(int id, bool on) { return PowerStep(id, on).bytes; }
};

} // namespace vexa
