#pragma once

#include <QString>

namespace vexa {

class AppPaths;

// Starts the image editor program Tools/imagedit beside the executable, with the
// executable's folder as working directory. The program learns where the exported
// message bitmaps are from VEXA_IMAGE_DIR. Nothing else is exchanged with it.
class ImageEditorLauncher {
public:
    static QString ProgramPath(const AppPaths& paths);
    // False when the program is missing or cannot be started.
    static bool Launch(const AppPaths& paths);
};

} // namespace vexa
