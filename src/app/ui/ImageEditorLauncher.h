#pragma once

#include <QString>
#include <functional>

class QObject;

namespace vexa {

class AppPaths;

// Starts the image editor program Tools/imagedit beside the executable, with the
// executable's folder as working directory. The program learns where the exported
// message bitmaps are from VEXA_IMAGE_DIR. Nothing else is exchanged with it.
class ImageEditorLauncher {
public:
    static QString ProgramPath(const AppPaths& paths);
    // False when the program is missing or cannot be started. The launcher hands the
    // folder to the desktop and ends; when it ends with a failure (no image editor on the
    // desktop), failed() is called later on owner's thread.
    static bool Launch(const AppPaths& paths, QObject* owner, std::function<void()> failed);
};

} // namespace vexa
