#pragma once

#include <QString>

namespace vexa {

// Operator messages of sends and scans that depend on the language (1 simplified
// Chinese, 2 traditional Chinese, any other code English).
class TransferTexts {
public:
    static QString SelectPortFirst(int language);
    static QString NoIdSelected(int language);
    // The size question of the models with a data limit; words = excess / 18 + 1.
    static QString DataOver(int language, int words);
};

} // namespace vexa
