#pragma once

#include "app/ui/CVexaDlg.h"

#include <QObject>
#include <QString>
#include <functional>
#include <memory>

namespace vexa {

class CVexaApp;
class FolderLock;
struct FleetLine;

// The editor's one window over the application context of one work folder. Picking a line
// in File > Open fleet… closes both (the rows are saved as on any close) and opens them
// again on the line's folder, in the same place on the screen, with the line's port, model
// and 485 option applied.
class EditorSession : public QObject {
    Q_OBJECT
public:
    struct Options {
        int codePage = 0;           // 0: each folder's own
        bool workInDataDir = false; // the folder opened becomes the current one (Debug.Log there)
        // The window's services for each folder opened; empty: the program's own.
        std::function<CVexaDlg::Services()> services;
        bool readOnly = false; // --read-only: write none of the folder's files
        bool quiet = false;    // no question or warning box (screenshots)
    };

    explicit EditorSession(Options options, QObject* parent = nullptr);
    ~EditorSession() override;

    // Opens the application context of dataDir (empty: the program's default folder) and
    // shows its window. One editor per work folder: when another holds it, the operator may
    // look at it read-only; false when they declined (nothing is open then).
    bool Open(const QString& dataDir);
    // Replaces the window and context by those of the line's folder.
    void OpenLine(const FleetLine& line);

    CVexaApp* App() const { return app.get(); }
    CVexaDlg* Window() const { return window.get(); }

signals:
    void windowOpened(CVexaDlg* window);

private:
    void Close();

    Options options;
    std::unique_ptr<FolderLock> folderLock;
    std::unique_ptr<CVexaApp> app;
    std::unique_ptr<CVexaDlg> window;
};

} // namespace vexa
