#pragma once

#include <QString>

namespace vexa {

// Operator texts of the main window's transfers that depend on the language (1 simplified
// Chinese, 2 traditional Chinese, any other code English). The send texts shared with
// the command line live in TransferRunner.
class TransferTexts {
public:
    static QString SelectPortFirst(int language);
    // The wait dialog's line of a multi-sign send: "Setting ID：3，Total:2，Last:2".
    static QString WaitText(int language, int id, int total, int last);
};

} // namespace vexa
