#pragma once

#include "store/LanguageFile.h"

#include <QString>
#include <QStringList>
#include <span>

class QObject;

namespace vexa {

// Every text of the program that depends on the language. The ten language files are
// resources ":/LANG/<number>": section "String" holds the menu entries (IDS_...) and the
// dialog entries ("IDD<template>_title", "IDD<template>_<control ID>"); section "Vexa"
// holds the program's other texts. A file without an entry of "Vexa" still works: the
// text then is the program's own default for the language (Chinese for codes 1 and 2
// where the program has one, else English).
class LanguageTexts {
public:
    static constexpr int English = 3;
    static constexpr int EnglishResource = 169;
    static const QString StringSection; // "String"
    static const QString OwnSection;    // "Vexa"
    static const QString NotFound;      // the menu text of a missing entry
    static const QString FailureText;   // "Release language file failure!"

    // One item of the Language menu: its code, command, text (in its own language,
    // never translated) and the number of its language file.
    struct Language {
        int code;
        int command;
        const char* menuText;
        int resource;
    };
    // The ten languages in the order of the Language menu.
    static std::span<const Language> Languages();
    // The language file of a code; the English one for a code outside 1..10.
    static int ResourceFor(int code);

    // Menu bar entries by position (File, Setting, Tools, Language, Help) and menu items
    // by command.
    struct MenuItem {
        int command;
        const char* entry;
    };
    static QStringList TopMenuEntries();
    static std::span<const MenuItem> MenuItems();
    // The entries of the items of a row menu (136, 138 content menus; 137, 139, 140
    // effect menus) in item order.
    static QStringList RowMenuEntries(int menuResource);

    // Whether a dialog template shows its control texts as tooltips too.
    static bool DialogHasTooltips(int templateId);

    // The status-bar word for "model" after a model change, and after a language switch
    // (the two tables differ for Russian).
    static QString ModelWord(int code);
    static QString SwitchModelWord(int code);
    // "word:model".
    static QString StatusText(const QString& word, const QString& model);

    // The program's own texts (section "Vexa").
    enum class Text {
        TreeRoot,
        ModelLabel,
        ComLabel,
        ComListTip,
        PreviewTip,
        CopyMessages,
        PasteMessages,
        CaptionError,
        CaptionWarning,
        CaptionInformation,
        AskNewFile,
        AskExit,
        LedFileFilter,
        ImageFiles,
        OpenFileFailed,
        SaveFileFailed,
        CopyFailed,
        ImageEditorFailed,
        ChooseModelFirst,
        SelectPortFirst,
        NoIdSelected,
        DataOver,
        SendFailedCount,
        ResultOk,
        ResultOpenFailed,
        ResultCloseFailed,
        ResultSendFailed,
        ResultReadFailed,
        ClockOk,
        ClockError,
        WaitTitle,
        WaitPreparing,
        WaitLine,
        AboutBuilt,
        ButtonOk,
        ButtonCancel,
        ButtonYes,
        ButtonNo,
        PortAutomatic,
        ModelChangeQuestion,
        NothingSent,
        SignsNotSent,
        RowTooManyCharacters,
        RowImageTooLarge,
        RowProblem,
        ClockNotConfirmed,
        ScanNoAnswer,
        ScanOneAnswered,
        ScanManyAnswered,
        ScanMarkAnswered,
        ScanMarkNoAnswer,
        ResultsSent,
        ResultsFailed,
        FileUnreadableLeft,
        FileUnreadableMoved,
        OpenFailed,
        CloseFailed,
        PasteStopped,
        PathHasSeparator,
        CharacterPickerTip,
        FontTip,
        SizeTip,
        YOffsetTip,
        ColourTip,
        ArabicLabel,
        MoveUpTip,
        MoveDownTip,
        FaceTip,
        IdOutOfRange,
        Id256Refused,
        IdSuccess,
        IdReadFailed,
        IdSetFailed,
        NewIdLabel,
        IdOrderRefused,
        NameEmpty,
        SignListSaveFailed,
        MessageFileCreateFailed,
        GroupSendTitle,
        GroupTreeRoot,
        OpenFailureBox,
        FileDialogOpenTitle,
        FileDialogSaveTitle,
        FileDialogLookIn,
        FileDialogFileName,
        FileDialogFileTypes,
        FileDialogOpen,
        FileDialogSave,
        FileColumnName,
        FileColumnSize,
        FileColumnType,
        FileColumnDate,
        FleetOpenMenu,
        FleetFileFilter,
        FleetTitle,
        FleetColumnLine,
        FleetColumnPort,
        FleetColumnModel,
        FleetColumnFolder,
        FleetDisabled,
        FleetUnreadable,
        FleetNoLines,
        FleetFolderMissing,
        FleetModelUnknown,
        FileNotSaved,
        FolderInUse,
        ReadOnlyMark,
        RowTooLongForEditor,
        GlyphFolderMissing,
        GlyphFolderMissingRow,
        RowCheckSentEmpty,
        RowCheckDropped,
        RowCheckSentAsDigits,
        RowCheckDateNotSent,
        RowCheckNoGlyph,
        RowCheckShownAs,
        RowCheckCutOffTop,
        RowCheckCutOffBottom,
        RowCheckBlack,
        RowCheckNotLit,
        RowCheckShowsYellow,
        RowCheckPictureMissing,
        RowCheckNotAPicture,
        RowCheckPictureLow,
        RowCheckPictureTall,
        RowCheckQuestion,
        PlayButton,
        PauseButton,
        PlayRowName,
        PauseRowName,
        SignViewTitle,
        StepBackTip,
        StepForwardTip,
        SignRowPage,
        SignNothing,
        ZoomLabel,
        SignWidthLabel,
        TimelineName,
        NotReceivedTime,
        NotReceivedMarquee,
        NotReceivedBlink,
        CharacterFontNote,
        // What the window says so that it never misleads.
        SignRenameQuestion,
        SignRemoveQuestion,
        SentToEverySign,
        Tip485,
        Tip485NoId,
        Tip485AlwaysId,
        ResultsPowerOn,
        ResultsPowerOff,
        ResultsGroupSent,
        GroupSendNeeds485,
        EffectNotInList,
        NoImageEditor,
        ImageEditorHint,
        IdSeveralAnswered,
        IdNoAnswer,
        IdPortNotOpened,
        IdReplyNotUnderstood,
        PickerTitle,
        PickerDone,
        ArabicDescription,
        FaceNames,
        SignColourMenu,
        LedRed,
        LedAmber,
        LedGreen,
        LedWhite,
        ImportPicture,
        ImportPictureTip,
        ImportPictureTitle,
        PictureOriginal,
        PictureOnSign,
        PictureHeight,
        PictureDots,
        PictureThreshold,
        PictureFloydSteinberg,
        PictureOrdered,
        PictureLevel,
        PictureAuto,
        PictureInvert,
        PictureNearestColour,
        PictureOneColour,
        PictureRed,
        PictureGreen,
        PictureYellow,
        PictureSourceInfo,
        PictureResultInfo,
        PictureStop,
        PictureStopped,
        PictureUnreadable,
        PictureSaveFailed,
        // Port check and the predicted duration of a send.
        PortOpens,
        PortMissing,
        PortsPresent,
        PortsNonePresent,
        PortPermission,
        PortNotInGroup,
        PortGroupNotInSession,
        PortGroupRefused,
        PortOwnerOnly,
        PortBusy,
        PortExclusive,
        PortHolder,
        PortLockHolder,
        PortCloseHolder,
        PortModemManager,
        PortNotSerial,
        PortNoHardware,
        PortFailed,
        NetNotResolved,
        NetRefused,
        NetNoAnswer,
        NetBaudRefused,
        NetNoComPort,
        NetComPortSilent,
        NetBadName,
        OpenFailureDetail,
        DurationSeconds,
        DurationMinutes,
        DurationUnderSecond,
        SendingAbout,
        SendEstimateTip,
        Count
    };
    // The entry name of a text in section "Vexa".
    static QString OwnEntry(Text text);
    // The program's default of a text for a code, used when the file has no entry.
    static QString DefaultText(Text text, int code);
    // The text in the language of texts; English when there are none (a window opened
    // without the main window, the command line).
    static QString Say(const LanguageTexts* texts, Text text);

    // Code English, no file read: every text is the program's default. The command line
    // keeps such an object and so stays English.
    explicit LanguageTexts(int code = English, QString resourceFolder = QStringLiteral(":/LANG"));

    int Code() const { return code; }
    // Makes code the current language and reads its file. False when the file cannot be
    // read: the code is kept and no entry is found until the next switch.
    bool SelectLanguage(int code);
    // Reads file content as the current language file (tests, other files).
    bool LoadLanguageFile(const QByteArray& bytes);
    const LanguageFile& File() const { return file; }

    // A menu text: the entry of section "String", "Not found" when it is missing, every
    // backslash-n as a line break.
    QString LookupString(const QString& entry) const;
    // A dialog title or control text; empty when missing (the dialog keeps its own).
    QString DialogTitle(int templateId) const;
    QString DialogText(int templateId, int controlId) const;
    // One of the program's own texts, "\n" and "\r" written as backslash escapes.
    QString Get(Text text) const;
    // A text that a lower floor reports in English (a caption, a fixed message) in the
    // current language when it is one of the program's own; otherwise as it came.
    QString Translate(const QString& english) const;

    // Formatted texts.
    QString WaitLine(int id, int total, int last) const;
    QString DataOver(int words) const;
    QString ResultText(int result) const;
    QString ClockText(bool ok) const { return Get(ok ? Text::ClockOk : Text::ClockError); }
    QStringList RowMenuTexts(int menuResource) const;
    // What face picture k (0..31) shows ("smiling face"); "Face k" beyond the list.
    QString FaceName(int k) const;

    // Gives a dialog its title (property "windowTitle") and every descendant that
    // carries a "controlId" its text (property "text", or "title" for frames), and the
    // same text as tooltip when the template shows tooltips. Windows inside the dialog
    // (descendants with a "templateId") are left alone.
    void ApplyDialogTexts(QObject* dialog, int templateId) const;

private:
    void ApplyControlTexts(QObject* parent, int templateId, bool tooltips) const;

    int code;
    QString resourceFolder;
    LanguageFile file;
};

} // namespace vexa
