#pragma once

#include <QString>
#include <QStringList>
#include <functional>

namespace vexa {

// The editor's command line, read before any window system is touched, so that --help
// and --version work without a display and a missing display is told plainly.
struct EditorOptions {
    QString dataDir;            // --data-dir: the folder that holds WorkData/ and Image/
    int codePage = 0;           // --codepage: 0 reads it from System.set
    QString screenshot;         // --screenshot FILE: save a picture of the window, then quit
    QString screenshotEditor;   // --screenshot-editor text|date: picture that editor instead
    QString scene;              // --scene NAME: with --screenshot, picture the window in a scene
    QString port;               // --port DEV: the serial device to choose at start
    bool workInDataDir = false; // --work-in-data-dir: make the data folder the current one
    bool readOnly = false;      // --read-only: write none of the work folder's files
    int exitCode = -1;          // >= 0: print output and end with this status instead of starting
    QString output;

    // Parses the arguments (argv[0] is the program). environment answers getenv for the
    // display check; the default reads the process environment.
    static EditorOptions Parse(int argc, char* argv[]);
    static EditorOptions Parse(const QStringList& arguments,
                               const std::function<QString(const char*)>& environment);

    // True when Qt would find no display to open (no X11 or Wayland display and no
    // platform plug-in that needs none).
    static bool DisplayMissing(const std::function<QString(const char*)>& environment);
    static QString NoDisplayText();
};

} // namespace vexa
