#pragma once

// The main window opened the way the program starts, on a work folder of its own, for the
// widget tests that drive the window.

#include "app/CVexaApp.h"
#include "app/WorkFiles.h"
#include "app/ui/CVexaDlg.h"
#include "app/ui/IContentEditorLauncher.h"
#include "core/ModelCatalogue.h"
#include "link/SerialPortList.h"
#include "store/AppPaths.h"

#include <QDir>
#include <QList>
#include <QString>
#include <QTemporaryDir>
#include <QTest>
#include <functional>
#include <memory>

// Calls the test's own Open(...) and ends the test at once when opening failed.
#define OPEN(...)                                                                                            \
    do {                                                                                                     \
        Open(__VA_ARGS__);                                                                                   \
        if (QTest::currentTestFailed())                                                                      \
            return;                                                                                          \
    } while (false)

namespace vexa::test {

// What the work folder holds when the window opens, and what the window is given.
struct WindowSetup {
    QString model{};   // the stored sign model; empty stores none
    int language = 3;  // the stored language; -1 stores none
    int sign = 1;      // the selected sign; its message file is the model's template
    QString dataDir{}; // the Data tree read (VEXA_BIN_DIR "/Data" for the real one); empty: the work folder
    std::function<void(CVexaApp&)> prepare{};                 // runs on the stored files before start-up
    std::unique_ptr<IContentEditorLauncher> editors{};        // empty: the program's own editors
    std::function<QList<SerialPortList::Port>()> listPorts{}; // empty: no ports, never the machine's
};

// Holds the work folder, the application and its main window. OpenWindow writes the
// settings and the selected sign's message file, starts the application and shows the
// window; a step that fails fails the test (callers check QTest::currentTestFailed()).
class MainWindowRig {
public:
    void OpenWindow(WindowSetup setup) {
        CloseWindow();
        dir = std::make_unique<QTemporaryDir>();
        QVERIFY(dir->isValid());
        AppPaths paths(dir->path(), dir->path());
        if (!setup.dataDir.isEmpty())
            paths.SetDataDir(setup.dataDir);
        app = std::make_unique<CVexaApp>(paths);
        QVERIFY(QDir().mkpath(app->Paths().WorkDataDir()));
        if (!setup.model.isEmpty())
            QVERIFY(app->settingsFile.SetLedType(setup.model));
        if (setup.language >= 0)
            QVERIFY(app->settingsFile.SetLanguage(setup.language));
        QVERIFY(app->settingsFile.SetNowSelID(setup.sign));
        QVERIFY(WorkFiles::WriteTemplate(ModelCatalogue::TemplateFor(setup.model),
                                         app->Paths().WorkFilePath(setup.sign)));
        if (setup.prepare) {
            setup.prepare(*app);
            if (QTest::currentTestFailed())
                return;
        }
        app->StartUp();
        CVexaDlg::Services services;
        services.editors = std::move(setup.editors);
        services.listPorts = std::move(setup.listPorts);
        if (!services.listPorts)
            services.listPorts = [] { return QList<SerialPortList::Port>(); };
        services.watchPorts = false;
        window = std::make_unique<CVexaDlg>(*app, std::move(services));
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    }

    // Closes the window, then the application, then removes the folder.
    void CloseWindow() {
        window.reset();
        app.reset();
        dir.reset();
    }

    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<CVexaApp> app;
    std::unique_ptr<CVexaDlg> window;
};

} // namespace vexa::test
