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
    // How the launcher ended when it did not open an editor.
    enum class Failure {
        CannotRun,     // missing, not executable, or ended with another failure
        NoImageEditor, // the desktop has no application for pictures (exit status 3)
    };
    static constexpr int NoImageEditorExit = 3;

    static QString ProgramPath(const AppPaths& paths);
    // False when the program is missing or cannot be started. The launcher hands the
    // folder to the desktop and ends; when it ends with a failure, failed() is called later
    // on owner's thread.
    static bool Launch(const AppPaths& paths, QObject* owner, std::function<void(Failure)> failed);
};

} // namespace vexa
