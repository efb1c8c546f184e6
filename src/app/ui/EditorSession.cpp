#include "app/ui/EditorSession.h"

#include "app/CVexaApp.h"
#include "app/LanguageCodes.h"
#include "app/ui/IContentEditorLauncher.h"
#include "store/FleetFile.h"
#include "store/FolderLock.h"

#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QTimer>

namespace vexa {

namespace {

// The question to a second editor on a held work folder, in the language of its settings.
bool AskReadOnly(CVexaApp& app, const FolderLock& lock) {
    LanguageTexts texts;
    const int stored = app.settingsFile.Language();
    texts.SelectLanguage(stored > 0 ? stored : LanguageCodes::DefaultLanguageCode());
    const QString holder = lock.HolderPid() > 0 ? QString::number(lock.HolderPid()) : QStringLiteral("?");
    return QMessageBox::question(nullptr, CVexaDlg::Title,
                                 texts.Get(LanguageTexts::Text::FolderInUse)
                                     .arg(QDir::toNativeSeparators(app.Paths().WorkDataDir()), holder),
                                 QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

} // namespace

EditorSession::EditorSession(Options sessionOptions, QObject* parent)
    : QObject(parent), options(std::move(sessionOptions)) {}

EditorSession::~EditorSession() {
    Close();
}

void EditorSession::Close() {
    window.reset(); // saves the rows and the window state into the folder's files
    app.reset();
    folderLock.reset();
}

bool EditorSession::Open(const QString& dataDir) {
    app = std::make_unique<CVexaApp>(AppPaths::ForApplication(dataDir));
    // Started from the desktop menu the current folder means nothing: work in the data
    // folder so Debug.Log lands beside WorkData/.
    if (options.workInDataDir && QDir().mkpath(app->Paths().WritableRoot()))
        QDir::setCurrent(app->Paths().WritableRoot());
    folderLock = std::make_unique<FolderLock>(app->Paths().WorkDataDir());
    bool readOnly = options.readOnly;
    if (!readOnly && folderLock->Acquire() == FolderLock::Result::Held) {
        readOnly = true;
        if (!options.quiet && !AskReadOnly(*app, *folderLock)) {
            Close();
            return false;
        }
    }
    app->SetReadOnly(readOnly);
    // The editor starts each run with a fresh Debug.Log in the current directory.
    app->signLink.OpenDebugLog();
    // Reports come in English from the files' floors; the box shows them in the language
    // chosen, where they are texts of the program's own.
    CVexaApp* context = app.get();
    app->SetErrorReporter([context](const QString& caption, const QString& text, const QString& detail) {
        QMessageBox box(caption == QStringLiteral("Warning") ? QMessageBox::Warning : QMessageBox::Critical,
                        context->texts.Translate(caption), context->texts.Translate(text), QMessageBox::Ok);
        box.setDetailedText(detail);
        box.exec();
    });
    app->ApplyCodePage(options.codePage);
    app->StartUp();
    window = std::make_unique<CVexaDlg>(*app, options.services ? options.services() : CVexaDlg::Services{});
    // Queued: the old window is gone only after the menu command that chose the line returned.
    connect(window.get(), &CVexaDlg::fleetLineChosen, this,
            [this](const FleetLine& line) { QTimer::singleShot(0, this, [this, line] { OpenLine(line); }); });
    window->show();
    // The window that opens takes the keyboard, also on a display without a window manager
    // (a kiosk, a virtual display) where nobody else would give it the focus.
    window->activateWindow();
    const QString missingGlyphs = app->MissingGlyphFolder();
    if (!missingGlyphs.isEmpty() && !options.quiet) {
        QTimer::singleShot(0, window.get(), [this, missingGlyphs] {
            QMessageBox::warning(window.get(), app->texts.Get(LanguageTexts::Text::CaptionWarning),
                                 app->texts.Get(LanguageTexts::Text::GlyphFolderMissing).arg(missingGlyphs));
        });
    }
    emit windowOpened(window.get());
    return true;
}

void EditorSession::OpenLine(const FleetLine& line) {
    const QRect frame = window ? window->normalGeometry() : QRect();
    // The last window closing would end the program between the two.
    const bool quitOnClose = QApplication::quitOnLastWindowClosed();
    QApplication::setQuitOnLastWindowClosed(false);
    Close();
    // Each line keeps its Debug.Log in its own folder, as the fleet's own runs do.
    options.workInDataDir = true;
    const bool opened = Open(line.dataDir);
    QApplication::setQuitOnLastWindowClosed(quitOnClose);
    if (!opened) {
        QApplication::quit(); // the operator declined the only folder left to show
        return;
    }
    if (frame.isValid())
        window->setGeometry(frame);
    window->ApplyFleetLine(line);
}

} // namespace vexa
