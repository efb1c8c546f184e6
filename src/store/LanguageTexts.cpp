#include "store/LanguageTexts.h"

#include <QFile>
#include <QMetaProperty>
#include <QObject>
#include <QVariant>
#include <array>

static void InitLanguageResources() {
    Q_INIT_RESOURCE(lang_resources);
}

namespace vexa {

namespace {

using Text = LanguageTexts::Text;

const LanguageTexts::Language kLanguages[] = {
    {1, 32843, "中文简体", 168},  {2, 32844, "中文繁體", 173},         {3, 32842, "English", 169},
    {4, 32864, "日本語", 170},    {5, 32847, "한국의", 171},           {6, 32848, "Русский", 172},
    {7, 32870, "ภาษาไทย", 237},   {8, 32871, "bahasa Indonesia", 238}, {9, 32872, "melayu", 236},
    {10, 32873, "Việt Ngữ", 239},
};

const LanguageTexts::MenuItem kMenuItems[] = {
    {57600, "IDS_FILE_NEW"},       {57601, "IDS_FILE_OPEN"}, {57603, "IDS_FILE_SAVE"},
    {32776, "IDS_FILE_SAVEAS"},    {32786, "IDS_FILE_EXIT"}, {32832, "IDS_SET_MODIFYID"},
    {32836, "IDS_TOOL_CHECKTIME"}, {32837, "IDS_TOOL_SEND"}, {32839, "IDS_TOOL_GROUPSEND"},
    {32849, "IDS_HELP_ABOUT"},
};

// Entry name and the program's defaults: for every other code, for code 1 and for code 2
// (nullptr: the same as for every other code).
struct OwnText {
    Text text;
    const char* entry;
    const char* other;
    const char* simplified;
    const char* traditional;
};

const OwnText kOwnTexts[] = {
    {Text::TreeRoot, "TREE_ROOT", "LEDS", nullptr, nullptr},
    {Text::ModelLabel, "LABEL_MODEL", "MODEL", nullptr, nullptr},
    {Text::ComLabel, "LABEL_COM", "COM", nullptr, nullptr},
    {Text::ComListTip, "TIP_COM_LIST", "Serial port", nullptr, nullptr},
    {Text::PreviewTip, "TIP_PREVIEW", "Double-click to edit", nullptr, nullptr},
    {Text::CopyMessages, "MENU_COPY", "复制内容", nullptr, nullptr},
    {Text::PasteMessages, "MENU_PASTE", "粘贴内容", nullptr, nullptr},
    {Text::CaptionError, "CAPTION_ERROR", "Error", nullptr, nullptr},
    {Text::CaptionWarning, "CAPTION_WARNING", "Warning", nullptr, nullptr},
    {Text::CaptionInformation, "CAPTION_INFORMATION", "Information", nullptr, nullptr},
    {Text::AskNewFile, "ASK_NEW_FILE", "New File？", nullptr, nullptr},
    {Text::AskExit, "ASK_EXIT", "Exit？", nullptr, nullptr},
    {Text::LedFileFilter, "FILTER_LED_FILES", "LED Files (*.led)", nullptr, nullptr},
    {Text::ImageFiles, "IMAGE_FILES", "图片文件", nullptr, nullptr},
    {Text::OpenFileFailed, "MSG_OPEN_FAILED", "Can't open the message file!", nullptr, nullptr},
    {Text::SaveFileFailed, "MSG_SAVE_FAILED", "Can't save the message file!", nullptr, nullptr},
    {Text::CopyFailed, "MSG_COPY_FAILED", "Can't copy the messages!", nullptr, nullptr},
    {Text::ImageEditorFailed, "MSG_IMAGE_EDITOR", "Can't execute image editor program!", nullptr, nullptr},
    {Text::ChooseModelFirst, "MSG_CHOOSE_MODEL", "Please choose the display model first.", nullptr, nullptr},
    {Text::SelectPortFirst, "MSG_SELECT_PORT", "please select a COM Port !", "请先选择串口!",
     "請先選擇串口!"},
    {Text::NoIdSelected, "MSG_NO_ID", "No ID selected?", "请至少选择一个ID？", "請至少選擇一個ID？"},
    {Text::DataOver, "MSG_DATA_OVER", "Data over %1 words, will be discard!\r\nContinue Send?",
     "数据超过%1个字, 将会丢弃!\r\n继续发送吗?", "數據超過%1個字, 將會丟棄!\r\n繼續發送嗎?"},
    {Text::SendFailedCount, "MSG_SEND_FAILED_COUNT", "%1 Send failed", nullptr, nullptr},
    {Text::ResultOk, "RESULT_OK", "OK!", nullptr, nullptr},
    {Text::ResultOpenFailed, "RESULT_OPEN_FAILED", "Open COM Port Failure!", nullptr, nullptr},
    {Text::ResultCloseFailed, "RESULT_CLOSE_FAILED", "Close COM Port Failure!", nullptr, nullptr},
    {Text::ResultSendFailed, "RESULT_SEND_FAILED", "Send Failure!", nullptr, nullptr},
    {Text::ResultReadFailed, "RESULT_READ_FAILED", "Read Failure!", nullptr, nullptr},
    {Text::ClockOk, "MSG_CLOCK_OK", "Check Time Ok !", nullptr, nullptr},
    {Text::ClockError, "MSG_CLOCK_ERROR", "Check time error !", nullptr, nullptr},
    {Text::WaitTitle, "WAIT_TITLE", "請稍等……", nullptr, nullptr},
    {Text::WaitPreparing, "WAIT_PREPARING", "正在准备中……", nullptr, nullptr},
    {Text::WaitLine, "WAIT_LINE", "Setting ID：%1，Total:%2，Last:%3",
     "设置 ID：%1，总数量:%2，待设置数量:%3", "設置 ID：%1，總數量:%2，待設置數量:%3"},
    {Text::AboutBuilt, "ABOUT_BUILT", "Built %1", nullptr, nullptr},
    {Text::ButtonOk, "BUTTON_OK", "OK", nullptr, nullptr},
    {Text::ButtonCancel, "BUTTON_CANCEL", "Cancel", nullptr, nullptr},
    {Text::ButtonYes, "BUTTON_YES", "&Yes", nullptr, nullptr},
    {Text::ButtonNo, "BUTTON_NO", "&No", nullptr, nullptr},
    {Text::PortAutomatic, "STATUS_PORT_AUTO", "COM:AUTO", nullptr, nullptr},
    {Text::ModelChangeQuestion, "ASK_MODEL_CHANGE",
     "The new model needs other messages: the messages of this sign will be replaced by the model's "
     "template.\nReplace them?",
     nullptr, nullptr},
    {Text::NothingSent, "MSG_NOTHING_SENT", "Nothing was sent:\n%1", nullptr, nullptr},
    {Text::SignsNotSent, "MSG_SIGNS_NOT_SENT", "These signs were not sent:\n%1", nullptr, nullptr},
    {Text::RowTooManyCharacters, "MSG_ROW_TOO_MANY_CHARACTERS",
     "row %1: the content draws %2 characters, more than the %3 a row may hold", nullptr, nullptr},
    {Text::RowImageTooLarge, "MSG_ROW_IMAGE_TOO_LARGE",
     "row %1: image larger than %2 x %3 dots (or %4 dots in all): %5", nullptr, nullptr},
    {Text::RowProblem, "MSG_ROW_PROBLEM", "row %1: %2", nullptr, nullptr},
    {Text::ClockNotConfirmed, "MSG_CLOCK_UNCONFIRMED", "The clock was sent, but the sign did not confirm it.",
     nullptr, nullptr},
    {Text::ScanNoAnswer, "SCAN_NO_ANSWER", "No sign answered.", nullptr, nullptr},
    {Text::ScanOneAnswered, "SCAN_ONE_ANSWERED", "1 sign answered: %1", nullptr, nullptr},
    {Text::ScanManyAnswered, "SCAN_MANY_ANSWERED", "%1 signs answered: %2", nullptr, nullptr},
    {Text::ScanMarkAnswered, "SCAN_MARK_ANSWERED", "answered the scan", nullptr, nullptr},
    {Text::ScanMarkNoAnswer, "SCAN_MARK_NO_ANSWER", "no answer to the scan", nullptr, nullptr},
    {Text::ResultsSent, "RESULTS_SENT", "Sent: %1.", nullptr, nullptr},
    {Text::ResultsFailed, "RESULTS_FAILED", "Failed: %1.", nullptr, nullptr},
    {Text::FileUnreadableLeft, "MSG_FILE_UNREADABLE_LEFT",
     "The message file %1 cannot be read and cannot be moved aside; it is left as it is and nothing is "
     "saved into it.",
     nullptr, nullptr},
    {Text::FileUnreadableMoved, "MSG_FILE_UNREADABLE_MOVED",
     "The message file %1 could not be read. It was kept as %2, and the sign starts with new messages.",
     nullptr, nullptr},
    {Text::OpenFailed, "MSG_FILE_OPEN_FAILED", "Open failed", nullptr, nullptr},
    {Text::CloseFailed, "MSG_FILE_CLOSE_FAILED", "Close failed", nullptr, nullptr},
    {Text::PasteStopped, "NOTE_PASTE_STOPPED",
     "The paste stopped at %1 characters, as many as a message keeps.", nullptr, nullptr},
    {Text::PathHasSeparator, "MSG_PATH_SEPARATOR",
     "The path of this file contains \";\", which separates the pictures of a message, so it could not be "
     "read back. Rename the file or its folder and add it again.",
     nullptr, nullptr},
    {Text::CharacterPickerTip, "TIP_CHARACTER_PICKER", "Character picker", nullptr, nullptr},
    {Text::FontTip, "TIP_FONT", "Font", nullptr, nullptr},
    {Text::SizeTip, "TIP_SIZE", "Size", nullptr, nullptr},
    {Text::YOffsetTip, "TIP_Y_OFFSET", "Y offset", nullptr, nullptr},
    {Text::ColourTip, "TIP_COLOUR", "Colour", nullptr, nullptr},
    {Text::ArabicLabel, "LABEL_ARABIC", "Arabic", nullptr, nullptr},
    {Text::MoveUpTip, "TIP_MOVE_UP", "Move up", nullptr, nullptr},
    {Text::MoveDownTip, "TIP_MOVE_DOWN", "Move down", nullptr, nullptr},
    {Text::FaceTip, "TIP_FACE", "Face %1", nullptr, nullptr},
    {Text::IdOutOfRange, "MSG_ID_RANGE", "ID >=1 and ID <= 256!", nullptr, nullptr},
    {Text::Id256Refused, "MSG_ID_256", "Sign IDs go from 1 to 255: ID 256 cannot be used.", nullptr, nullptr},
    {Text::IdSuccess, "MSG_ID_SUCCESS", "Success!", nullptr, nullptr},
    {Text::IdReadFailed, "MSG_ID_READ_FAILED", "Read failed!", nullptr, nullptr},
    {Text::IdSetFailed, "MSG_ID_SET_FAILED", "Setting failed!", nullptr, nullptr},
    {Text::NewIdLabel, "LABEL_NEW_ID", "New ID", nullptr, nullptr},
    {Text::IdOrderRefused, "MSG_ID_ORDER", "ID2 > ID1 !", nullptr, nullptr},
    {Text::NameEmpty, "MSG_NAME_EMPTY", "Name is empty!", nullptr, nullptr},
    {Text::SignListSaveFailed, "MSG_SIGN_LIST_SAVE", "Can't save the sign list!", nullptr, nullptr},
    {Text::MessageFileCreateFailed, "MSG_FILE_CREATE", "Can't create the message file!", nullptr, nullptr},
    {Text::GroupSendTitle, "TITLE_GROUP_SEND", "Group Send", nullptr, nullptr},
    {Text::GroupTreeRoot, "GROUP_TREE_ROOT", "LED", nullptr, nullptr},
    {Text::OpenFailureBox, "MSG_OPEN_FAILURE", "Open failure, error code=%1\nError function:%2", nullptr,
     nullptr},
    {Text::FileDialogOpenTitle, "FILE_DIALOG_OPEN_TITLE", "Open", nullptr, nullptr},
    {Text::FileDialogSaveTitle, "FILE_DIALOG_SAVE_TITLE", "Save As", nullptr, nullptr},
    {Text::FileDialogLookIn, "FILE_DIALOG_LOOK_IN", "Look in:", nullptr, nullptr},
    {Text::FileDialogFileName, "FILE_DIALOG_FILE_NAME", "File &name:", nullptr, nullptr},
    {Text::FileDialogFileTypes, "FILE_DIALOG_FILE_TYPES", "Files of type:", nullptr, nullptr},
    {Text::FileDialogOpen, "FILE_DIALOG_OPEN", "&Open", nullptr, nullptr},
    {Text::FileDialogSave, "FILE_DIALOG_SAVE", "&Save", nullptr, nullptr},
    {Text::FileColumnName, "FILE_COLUMN_NAME", "Name", nullptr, nullptr},
    {Text::FileColumnSize, "FILE_COLUMN_SIZE", "Size", nullptr, nullptr},
    {Text::FileColumnType, "FILE_COLUMN_TYPE", "Type", nullptr, nullptr},
    {Text::FileColumnDate, "FILE_COLUMN_DATE", "Date Modified", nullptr, nullptr},
};
static_assert(std::size(kOwnTexts) == static_cast<size_t>(Text::Count));

const OwnText& Own(Text text) {
    return kOwnTexts[static_cast<size_t>(text)];
}

// Backslash-n and backslash-r become line feed and carriage return.
QString Unescape(QString text, bool carriageReturns) {
    text.replace(QLatin1String("\\n"), QStringLiteral("\n"));
    if (carriageReturns)
        text.replace(QLatin1String("\\r"), QStringLiteral("\r"));
    return text;
}

} // namespace

const QString LanguageTexts::StringSection = QStringLiteral("String");
const QString LanguageTexts::OwnSection = QStringLiteral("Vexa");
const QString LanguageTexts::NotFound = QStringLiteral("Not found");
const QString LanguageTexts::FailureText = QStringLiteral("Release language file failure!");

std::span<const LanguageTexts::Language> LanguageTexts::Languages() {
    return kLanguages;
}

int LanguageTexts::ResourceFor(int code) {
    for (const Language& language : kLanguages) {
        if (language.code == code)
            return language.resource;
    }
    return EnglishResource;
}

QStringList LanguageTexts::TopMenuEntries() {
    return {QStringLiteral("IDS_MENU_FILE"), QStringLiteral("IDS_MENU_SET"), QStringLiteral("IDS_MENU_TOOL"),
            QStringLiteral("IDS_MENU_LANG"), QStringLiteral("IDS_MENU_HELP")};
}

std::span<const LanguageTexts::MenuItem> LanguageTexts::MenuItems() {
    return kMenuItems;
}

QStringList LanguageTexts::RowMenuEntries(int menuResource) {
    const auto effects = [](std::initializer_list<int> items) {
        QStringList entries;
        for (int item : items)
            entries << QStringLiteral("IDS_DZ_MENU_ITEM%1").arg(item);
        return entries;
    };
    switch (menuResource) {
    case 136:
        return {QStringLiteral("IDS_EDIT_MENU_ITEM2"), QStringLiteral("IDS_EDIT_MENU_ITEM3")};
    case 138:
        return {QStringLiteral("IDS_EDIT_MENU_ITEM2"), QStringLiteral("IDS_EDIT_MENU_ITEM3"),
                QStringLiteral("IDS_EDIT_MENU_ITEM4")};
    case 137:
        return effects({1, 2, 3, 4, 5, 6, 7, 8});
    case 139:
        return effects({5, 1, 2, 3, 4, 7, 9});
    case 140:
        return effects({1, 2, 3, 4, 5, 6, 7});
    default:
        return {};
    }
}

bool LanguageTexts::DialogHasTooltips(int templateId) {
    switch (templateId) {
    case 102:
    case 140:
    case 163:
    case 164:
    case 165:
    case 201:
    case 310:
        return true;
    default:
        return false;
    }
}

QString LanguageTexts::ModelWord(int code) {
    switch (code) {
    case 1:
        return QStringLiteral("设备型号");
    case 2:
        return QStringLiteral("設備型號");
    case 4:
        return QStringLiteral("装置種別");
    case 5:
        return QStringLiteral("장비 유형");
    case 6:
        return QStringLiteral("Тип оборудования");
    case 7:
        return QStringLiteral("แบบ");
    case 8:
        return QStringLiteral("model");
    case 9:
        return QStringLiteral("barang");
    case 10:
        return QStringLiteral("mô hình");
    default:
        return QStringLiteral("Model");
    }
}

QString LanguageTexts::SwitchModelWord(int code) {
    if (code == 0)
        return ModelWord(1);
    if (code == 6)
        return QStringLiteral("мадэль");
    return ModelWord(code);
}

QString LanguageTexts::StatusText(const QString& word, const QString& model) {
    return word + QLatin1Char(':') + model;
}

QString LanguageTexts::OwnEntry(Text text) {
    return QString::fromLatin1(Own(text).entry);
}

QString LanguageTexts::DefaultText(Text text, int code) {
    const OwnText& own = Own(text);
    const char* chosen = own.other;
    if (code == 1 && own.simplified)
        chosen = own.simplified;
    else if (code == 2 && own.traditional)
        chosen = own.traditional;
    return QString::fromUtf8(chosen);
}

QString LanguageTexts::Say(const LanguageTexts* texts, Text text) {
    return texts ? texts->Get(text) : DefaultText(text, English);
}

LanguageTexts::LanguageTexts(int languageCode, QString folder)
    : code(languageCode), resourceFolder(std::move(folder)) {}

bool LanguageTexts::SelectLanguage(int languageCode) {
    code = languageCode;
    InitLanguageResources();
    QFile source(resourceFolder + QLatin1Char('/') + QString::number(ResourceFor(languageCode)));
    QByteArray bytes;
    if (source.open(QIODevice::ReadOnly))
        bytes = source.readAll();
    return LoadLanguageFile(bytes);
}

bool LanguageTexts::LoadLanguageFile(const QByteArray& bytes) {
    return file.Parse(bytes);
}

QString LanguageTexts::LookupString(const QString& entry) const {
    return Unescape(file.Read(StringSection, entry).value_or(NotFound), false);
}

QString LanguageTexts::DialogTitle(int templateId) const {
    return file.Read(StringSection, QStringLiteral("IDD%1_title").arg(templateId)).value_or(QString());
}

QString LanguageTexts::DialogText(int templateId, int controlId) const {
    return file.Read(StringSection, QStringLiteral("IDD%1_%2").arg(templateId).arg(controlId))
        .value_or(QString());
}

QString LanguageTexts::Get(Text text) const {
    const std::optional<QString> written = file.Read(OwnSection, OwnEntry(text));
    if (!written || written->isEmpty())
        return DefaultText(text, code);
    return Unescape(*written, true);
}

QString LanguageTexts::Translate(const QString& english) const {
    for (const OwnText& own : kOwnTexts) {
        if (english == QString::fromUtf8(own.other))
            return Get(own.text);
    }
    return english;
}

QString LanguageTexts::WaitLine(int id, int total, int last) const {
    return Get(Text::WaitLine).arg(id).arg(total).arg(last);
}

QString LanguageTexts::DataOver(int words) const {
    return Get(Text::DataOver).arg(words);
}

QString LanguageTexts::ResultText(int result) const {
    switch (result) {
    case 0:
        return Get(Text::ResultOk);
    case 2:
        return Get(Text::ResultCloseFailed);
    case 3:
        return Get(Text::ResultSendFailed);
    case 4:
        return Get(Text::ResultReadFailed);
    default:
        return Get(Text::ResultOpenFailed);
    }
}

QStringList LanguageTexts::RowMenuTexts(int menuResource) const {
    QStringList texts;
    for (const QString& entry : RowMenuEntries(menuResource))
        texts << LookupString(entry);
    return texts;
}

void LanguageTexts::ApplyDialogTexts(QObject* dialog, int templateId) const {
    const QString title = DialogTitle(templateId);
    if (!title.isEmpty())
        dialog->setProperty("windowTitle", title);
    ApplyControlTexts(dialog, templateId, DialogHasTooltips(templateId));
}

// Depth first through the children; another window inside (it carries its own template
// number) keeps its texts. Both marks are dynamic properties: their names are checked
// first, since most children (menu items, layouts, inner parts of controls) carry neither.
void LanguageTexts::ApplyControlTexts(QObject* parent, int templateId, bool tooltips) const {
    for (QObject* child : parent->children()) {
        const QList<QByteArray> marks = child->dynamicPropertyNames();
        if (marks.contains("templateId"))
            continue;
        const QString text = marks.contains("controlId")
                                 ? DialogText(templateId, child->property("controlId").toInt())
                                 : QString();
        if (!text.isEmpty()) {
            const QMetaObject* meta = child->metaObject();
            const char* property = meta->indexOfProperty("text") >= 0 ? "text" : "title";
            if (meta->indexOfProperty(property) >= 0)
                child->setProperty(property, text);
            if (tooltips)
                child->setProperty("toolTip", text);
        }
        ApplyControlTexts(child, templateId, tooltips);
    }
}

} // namespace vexa
