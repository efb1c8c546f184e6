#pragma once

#include "core/ModelCatalogue.h"

#include <QString>

namespace vexa {

// Which controls of one message row accept input.
struct RowEnabling {
    bool send = false;
    bool marquee = false;
    bool rightToLeft = false;
    bool effect = false;
    bool speed = false;
    bool time = false;
    bool blink = false;
};

// The rules that tie a row's controls to the model and the row's kind, and the captions
// of its two menu buttons. Content and effect menu items are numbered 20090 + index.
class RowRules {
public:
    static constexpr int MenuItemBase = 20090;
    static constexpr int TextItem = 20091;
    static constexpr int ImageItem = 20092;
    static constexpr int DateItem = 20093;

    // model may be nullptr (no model chosen yet): every time box is then usable.
    static RowEnabling EnablingFor(const DisplayModel* model, int modelRows, int kind);

    // Caption of the content button: the content menu's text for kind, empty when the
    // menu has no such item (an empty row, or a date row on a model without a clock).
    static QString ContentCaption(int kind, bool hasClock);
    // Caption of the effect button: the effect list's name at effect, empty beyond the list.
    static QString EffectCaption(int effect, int effectListSet);

    // The speed and time box item texts ("1".."8", "0s".."5s").
    static QStringList SpeedItems();
    static QStringList TimeItems();
};

} // namespace vexa
