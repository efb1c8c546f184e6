#pragma once

#include "core/Payload.h"
#include "link/SignLink.h"
#include "render/GlyphLibrary.h"
#include "render/RowImages.h"
#include "store/AppPaths.h"
#include "store/CIdList.h"
#include "store/CMessageTable.h"
#include "store/LanguageTexts.h"
#include "store/SystemSettings.h"

#include <QString>

namespace vexa {

// The application context: owns every long-lived object of a run (settings, language,
// payload, message table, sign list, row images, ...) and performs the start-up file
// steps and the shutdown save. The editor, the command line and the tests each make one.
class CVexaApp {
public:
    explicit CVexaApp(AppPaths paths);
    CVexaApp(const CVexaApp&) = delete;
    CVexaApp& operator=(const CVexaApp&) = delete;
    // Stops the link engine first: its workers use the sign list and the payload.
    ~CVexaApp();

    const AppPaths& Paths() const { return paths; }

    // Members in their construction order.
    SystemSettings settingsFile;
    int language = 0;
    // The texts of the current language; English until the window selects one (the
    // command line never does).
    LanguageTexts texts;
    Payload payload;
    // The link engine; it opens no port until an operation needs one.
    SignLink signLink;
    CMessageTable messageTable;
    GlyphLibrary glyphLibrary;
    CIdList idList;
    // The ten row images of the open message file: the main window's previews show them,
    // and every send, pack and render prepares its rows in them.
    RowImages rowImages;

    // Routes "Open failed" / "Close failed" of every file the context owns.
    void SetErrorReporter(const CIniFile::ErrorReporter& reporter);
    // Tells the operator something about the files (through the same reporter).
    void Report(const QString& caption, const QString& text, const QString& detail = QString()) const;
    // Legacy code page for files without a byte-order mark; 0 reads it from System.set.
    void ApplyCodePage(int codePage = 0);
    // A read-only context writes none of its work files (settings, sign list, messages):
    // a second editor on a work folder another one holds.
    void SetReadOnly(bool on);
    bool ReadOnly() const { return readOnly; }
    int CodePage() const { return codePage; }

    // Loads IDLIST.id into the sign list (an empty list when it cannot be read).
    bool LoadSignList();
    // Reads language, current sign, makes its work file exist (template 177 in a new
    // WorkData folder on a first start) and opens it. Returns the 485 option.
    int ReadStartupSettings();
    // Loads the glyph and animation bitmaps of the Data folder once; returns how many.
    int LoadGlyphLibrary();
    // Names the Data folder to the glyph library, which reads each of its folders at the
    // first use (the main window paints without waiting for the whole library).
    void OpenGlyphLibrary();
    // Writes the rows' parameters into the current sign's file.
    void Shutdown();
    // The folder of the Data tree the stored model draws from that is missing: the glyph
    // folder, else the animation folder of the model's height ("" when both are there).
    QString MissingGlyphFolder();

    // The sign whose messages the window shows. Held here, not only in System.set: when
    // that file cannot be read or written, a getter reading it would say 0, and a later
    // New, model change or reload would then work on another sign's file.
    int SelectedSign() const { return selectedSign; }
    // Makes id the selected sign and stores it as NowSelID (a refused write is told by
    // the settings file; the selection holds for this session all the same).
    void SetSelectedSign(int id);

    // The model stored in the settings (LedType).
    QString ModelName() { return settingsFile.LedType(); }

    // Full start-up of the file side as the editor does it: sign list, code page, settings.
    int StartUp();

private:
    AppPaths paths;
    CIniFile::ErrorReporter reporter;
    int codePage = LegacyCodePage::DefaultCodePage;
    bool readOnly = false;
    int selectedSign = 0;
};

} // namespace vexa
