#pragma once

#include <QString>

namespace vexa {

class CVexaDlg;

// Pictures a content editor for the screenshot script: opens the editor of a row through
// the row's content menu, as an operator does, saves a picture of it once it is shown,
// cancels it and quits the program (exit status 1 when nothing was saved).
class EditorScreenshot {
public:
    static constexpr int TextItem = 20091;
    static constexpr int ImageItem = 20092;
    static constexpr int DateItem = 20093;

    static void Take(CVexaDlg& window, int row, int menuItem, const QString& target);
};

} // namespace vexa
