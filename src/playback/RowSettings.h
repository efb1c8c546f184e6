#pragma once

#include <QString>
#include <QStringList>

namespace vexa {

struct DisplayModel;

// What a sign does with a message, whatever the effect list calls it.
enum class SignEffect { Left, Right, Up, Down, Fix, Animation, Snow, Middle, Blink };

// The parameters of a row that decide how a sign plays it.
struct RowSettings {
    int effectListSet = 0; // the model's effect list: 0 = A, 1 = B, 2 = C
    int effect = 0;        // index in that list
    int speed = 0;         // 0..7
    int time = 0;          // 0..5
    bool marquee = false;
    bool blink = false;

    // The effect the index names in its list; an index the list does not have is played
    // as Fix (what the signs that map indexes to codes send for it).
    SignEffect Effect() const { return EffectOf(effectListSet, effect); }
    static SignEffect EffectOf(int effectListSet, int index);

    // The settings as a sign of the model receives them. Not every protocol family carries
    // every parameter: the row-directory families send no time, the slot-trailer family
    // only the effect and the speed, the block families no blink flag. A parameter that
    // is not sent cannot change what the sign shows, so it plays as off.
    RowSettings AsReceivedBy(const DisplayModel& model) const;
    // The parameters set in this row that the model's signs never receive ("time",
    // "marquee", "blink"), so the operator can be told.
    QStringList NotReceivedBy(const DisplayModel& model) const;

    friend bool operator==(const RowSettings&, const RowSettings&) = default;
};

} // namespace vexa
