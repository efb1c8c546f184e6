#pragma once

#include "app/ScanMarks.h"

class QTreeWidgetItem;

namespace vexa {

// Shows what the last scan found on a sign of the tree, beside its check box: a filled
// green dot for an answer, a hollow grey ring for none, with the same words as tooltip
// and for screen readers.
class SignTreeMarks {
public:
    static void Show(QTreeWidgetItem* item, ScanMarks::Mark mark, const LanguageTexts* texts);
};

} // namespace vexa
