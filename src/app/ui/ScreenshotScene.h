#pragma once

#include <QString>
#include <functional>

namespace vexa {

class CVexaDlg;

// Brings the main window into a named state for a picture of it, the way an operator
// would get there, and saves the picture: "id-editor", "id-modify" and "group-send" show
// those dialogs; "after-scan" and "after-group-send" scan the line on port, or send the
// current messages to the ticked signs, and show the window afterwards; "sign-view" shows
// the sign view playing, "editor-playing" the text editor of row 1 playing its row, and
// "rows-playing" the window with its first three rows playing in their cells.
class ScreenshotScene {
public:
    static bool Known(const QString& scene);
    // Types port into the window's COM box as an operator would (nothing for an empty one).
    static void ChoosePort(CVexaDlg& window, const QString& port);
    // done(saved) is called once the picture is written (or could not be).
    static void Run(CVexaDlg& window, const QString& scene, const QString& target,
                    std::function<void(bool)> done);
};

} // namespace vexa
