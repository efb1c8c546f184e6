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
    struct Family {
        LinkFamily code;
        const char* name;
        FrameSequence (*sendSequence)(const SendInputs&);
        QByteArray (*readIdFrame)();
        QByteArray (*setIdFrame)(int currentId, int newId);
        QByteArray (*clockFrame)(const QDateTime& now);
    };

    static std::span<const Family> All();
    // The row of a family; nullptr for a code outside 0..5.
    static const Family* Find(LinkFamily code);

    // The frames of one send of inputs.family; empty for an unknown family.
    static FrameSequence SendSequence(const SendInputs& inputs);
    static QByteArray ReadIdFrame(LinkFamily family);
    static QByteArray SetIdFrame(LinkFamily family, int currentId, int newId);
    static QByteArray ClockFrame(LinkFamily family, const QDateTime& now);
    static QByteArray PowerFrame(int id, bool on);
    static FrameSequence ScanSequence();
};

} // namespace vexa
