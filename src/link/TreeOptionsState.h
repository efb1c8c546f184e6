#pragma once

#include <QList>

namespace vexa {

// The states of an options tree item, which are nothing but its image index in the
// control's image strip, and how a click or the space key changes them.
class TreeOptionsState {
public:
    enum Image {
        CheckOff = 0,
        CheckOn = 1,
        RadioOff = 2,
        RadioOn = 3,
        CheckOffDisabled = 4,
        CheckOnDisabled = 5,
        RadioOffDisabled = 6,
        RadioOnDisabled = 7,
        Group = 8,
        Magnifier = 9,
        EditItem = 10,
        ComboItem = 11,
        ImageCount = 12,
    };

    static bool IsTicked(int image) { return image == CheckOn || image == CheckOnDisabled; }
    static bool IsEnabledCheck(int image) { return image == CheckOff || image == CheckOn; }
    static bool IsCheck(int image) {
        return IsEnabledCheck(image) || image == CheckOffDisabled || image == CheckOnDisabled;
    }

    // The image after a toggle of a check box; every other item keeps its image.
    static int ToggledCheck(int image);
    // The images of the siblings after a click on siblings[clicked]: an enabled radio that
    // is off switches on, the other enabled radios go off, every other sibling is drawn
    // as a disabled radio. Anything else leaves them as they are.
    static QList<int> SwitchedRadio(const QList<int>& siblings, int clicked);
};

} // namespace vexa
