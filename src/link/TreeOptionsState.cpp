#include "link/TreeOptionsState.h"

namespace vexa {

int TreeOptionsState::ToggledCheck(int image) {
    switch (image) {
    case CheckOff:
        return CheckOn;
    case CheckOn:
        return CheckOff;
    default:
        return image;
    }
}

QList<int> TreeOptionsState::SwitchedRadio(const QList<int>& siblings, int clicked) {
    if (clicked < 0 || clicked >= siblings.size() || siblings[clicked] != RadioOff)
        return siblings;
    QList<int> result = siblings;
    for (qsizetype i = 0; i < result.size(); ++i) {
        if (i == clicked)
            result[i] = RadioOn;
        else if (result[i] == RadioOff || result[i] == RadioOn)
            result[i] = RadioOff;
        else
            result[i] = RadioOffDisabled;
    }
    return result;
}

} // namespace vexa
