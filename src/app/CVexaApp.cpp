#include "app/CVexaApp.h"

#include "app/LanguageCodes.h"
#include "app/WorkFiles.h"
#include "core/ModelCatalogue.h"

#include <QDir>
#include <QFileInfo>

namespace vexa {

CVexaApp::CVexaApp(AppPaths appPaths)
    : settingsFile(appPaths.SystemSetPath()), idList(appPaths.IdListPath()),
      rowImages(glyphLibrary, appPaths), paths(std::move(appPaths)) {
    messageTable.ClearParams();
    idList.Clear();
    payload.Clear();
    signLink.signList = &idList;
    signLink.rowParams = &messageTable;
    signLink.messageData = &payload;
}

CVexaApp::~CVexaApp() {
    signLink.Stop();
}

void CVexaApp::SetErrorReporter(const CIniFile::ErrorReporter& errorReporter) {
    reporter = errorReporter;
    settingsFile.File().SetErrorReporter(reporter);
    messageTable.messageFile.SetErrorReporter(reporter);
    idList.file.SetErrorReporter(reporter);
}

void CVexaApp::Report(const QString& caption, const QString& text, const QString& detail) const {
    if (reporter)
        reporter(caption, text, detail);
    else
        messageTable.messageFile.Report(caption, text, detail);
}

void CVexaApp::ApplyCodePage(int page) {
    codePage = page > 0 ? page : settingsFile.CodePage();
    const LegacyCodePage legacy(codePage);
    settingsFile.File().SetCodePage(legacy);
    messageTable.messageFile.SetCodePage(legacy);
    idList.file.SetCodePage(legacy);
    rowImages.SetCodePage(codePage);
}

void CVexaApp::SetReadOnly(bool on) {
    readOnly = on;
    settingsFile.File().SetReadOnly(on);
    messageTable.messageFile.SetReadOnly(on);
    idList.file.SetReadOnly(on);
}

bool CVexaApp::LoadSignList() {
    return idList.LoadIdList();
}

int CVexaApp::ReadStartupSettings() {
    language = settingsFile.Language();
    if (!settingsFile.Readable() || language == 0)
        language = LanguageCodes::DefaultLanguageCode();
    rowImages.SetLedColour(settingsFile.SignColour());
    selectedSign = settingsFile.NowSelID();
    const int id = selectedSign;
    const QString path = paths.WorkFilePath(id);
    if (!readOnly && !QFileInfo::exists(path)) {
        // A copy of the built-in template, made again at the next start should a power cut
        // take it: it is not forced to the disk before the window opens.
        QDir().mkpath(paths.WorkDataDir());
        WorkFiles::WriteTemplate(WorkFiles::FirstStartTemplate, path, AtomicFile::Durability::Regenerable);
    }
    WorkFiles::OpenWorkFile(*this, path);
    return settingsFile.Mode485();
}

void CVexaApp::SetSelectedSign(int id) {
    selectedSign = id;
    settingsFile.SetNowSelID(id);
}

int CVexaApp::StartUp() {
    LoadSignList();
    return ReadStartupSettings();
}

int CVexaApp::LoadGlyphLibrary() {
    return glyphLibrary.Load(paths.DataDir());
}

void CVexaApp::OpenGlyphLibrary() {
    glyphLibrary.Open(paths.DataDir());
}

QString CVexaApp::MissingGlyphFolder() {
    const QString glyphs = GlyphLibrary::MissingGlyphFolder(paths.DataDir());
    if (!glyphs.isEmpty())
        return glyphs;
    const DisplayModel* model = ModelCatalogue::Find(ModelName());
    return model ? GlyphLibrary::MissingAnimationFolder(paths.DataDir(), model->rows) : QString();
}

void CVexaApp::Shutdown() {
    messageTable.SaveParams();
}

} // namespace vexa
