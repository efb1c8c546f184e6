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
    {Text::FleetOpenMenu, "FLEET_MENU_OPEN", "Open fleet…", nullptr, nullptr},
    {Text::FleetFileFilter, "FLEET_FILE_FILTER", "Fleet files (*.fleet *.ini);;All files (*)", nullptr,
     nullptr},
    {Text::FleetTitle, "FLEET_TITLE", "Open a line of the fleet", nullptr, nullptr},
    {Text::FleetColumnLine, "FLEET_COLUMN_LINE", "Line", nullptr, nullptr},
    {Text::FleetColumnPort, "FLEET_COLUMN_PORT", "Port", nullptr, nullptr},
    {Text::FleetColumnModel, "FLEET_COLUMN_MODEL", "Model", nullptr, nullptr},
    {Text::FleetColumnFolder, "FLEET_COLUMN_FOLDER", "Folder", nullptr, nullptr},
    {Text::FleetDisabled, "FLEET_DISABLED", "disabled", nullptr, nullptr},
    {Text::FleetUnreadable, "FLEET_UNREADABLE", "The fleet file cannot be read: %1", nullptr, nullptr},
    {Text::FleetNoLines, "FLEET_NO_LINES", "The fleet file has no line.", nullptr, nullptr},
    {Text::FleetFolderMissing, "FLEET_FOLDER_MISSING", "The folder of this line does not exist.", nullptr,
     nullptr},
    {Text::FleetModelUnknown, "FLEET_MODEL_UNKNOWN", "The model of this line is unknown.", nullptr, nullptr},
    {Text::FileNotSaved, "MSG_FILE_NOT_SAVED",
     "Not saved: the file is there but could not be read, so it is left as it is.", nullptr, nullptr},
    {Text::FolderInUse, "ASK_FOLDER_IN_USE",
     "The work folder %1 is in use by another Vexa Message Editor (process %2).\nOpen it read-only?", nullptr,
     nullptr},
    {Text::ReadOnlyMark, "TITLE_READ_ONLY", "read-only", nullptr, nullptr},
    {Text::RowTooLongForEditor, "MSG_ROW_TOO_LONG",
     "Row %1 holds %2 characters; the text editor takes at most %3. The row is left as it is.", nullptr,
     nullptr},
    {Text::GlyphFolderMissing, "MSG_GLYPH_FOLDER_MISSING",
     "The glyph folder %1 is missing: rows in bitmap-font glyphs and animations cannot be drawn, and a send "
     "that needs them stops before anything is sent.",
     nullptr, nullptr},
    {Text::GlyphFolderMissingRow, "MSG_GLYPH_FOLDER_ROW", "the glyph folder %1 is missing", nullptr, nullptr},
    {Text::RowCheckSentEmpty, "CHECK_SENT_EMPTY", "sent empty: this sign shows plain text only", nullptr,
     nullptr},
    {Text::RowCheckDropped, "CHECK_DROPPED", "not sent to the sign: %1", nullptr, nullptr},
    {Text::RowCheckSentAsDigits, "CHECK_SENT_AS_DIGITS", "glyph codes go to this sign as their digits: %1",
     nullptr, nullptr},
    {Text::RowCheckDateNotSent, "CHECK_DATE_NOT_SENT",
     "this sign receives the text only, not the date and time", nullptr, nullptr},
    {Text::RowCheckNoGlyph, "CHECK_NO_GLYPH", "no glyph for %1", nullptr, nullptr},
    {Text::RowCheckShownAs, "CHECK_SHOWN_AS", "%1 shows as %2", nullptr, nullptr},
    {Text::RowCheckCutOffTop, "CHECK_CUT_OFF_TOP", "cut off at the top of the sign", nullptr, nullptr},
    {Text::RowCheckCutOffBottom, "CHECK_CUT_OFF_BOTTOM", "cut off at the bottom of the sign", nullptr,
     nullptr},
    {Text::RowCheckBlack, "CHECK_BLACK", "black text is not lit: %1", nullptr, nullptr},
    {Text::RowCheckNotLit, "CHECK_NOT_LIT", "text in %1 is not lit on this sign", nullptr, nullptr},
    {Text::RowCheckShowsYellow, "CHECK_SHOWS_YELLOW", "text in %1 shows yellow on this sign", nullptr,
     nullptr},
    {Text::RowCheckPictureMissing, "CHECK_PICTURE_MISSING", "picture not found: %1", nullptr, nullptr},
    {Text::RowCheckNotAPicture, "CHECK_NOT_A_PICTURE", "not a picture: %1", nullptr, nullptr},
    {Text::RowCheckPictureLow, "CHECK_PICTURE_LOW", "not as high as the sign, dark rows below: %1", nullptr,
     nullptr},
    {Text::RowCheckPictureTall, "CHECK_PICTURE_TALL",
     "taller than the sign, only its top rows are shown: %1; Import picture… prepares it for the sign",
     nullptr, nullptr},
    {Text::RowCheckQuestion, "ASK_ROWS_DIFFER", "Some rows will not look as previewed:\n%1\nSend anyway?",
     nullptr, nullptr},
    {Text::PlayButton, "PLAY_BUTTON", "Play", "播放", "播放"},
    {Text::PauseButton, "PAUSE_BUTTON", "Pause", "暂停", "暫停"},
    {Text::PlayRowName, "PLAY_ROW", "Play row %1", "播放第 %1 行", "播放第 %1 行"},
    {Text::PauseRowName, "PAUSE_ROW", "Pause row %1", "暂停第 %1 行", "暫停第 %1 行"},
    {Text::SignViewTitle, "SIGN_VIEW", "Sign view", "显示屏视图", "顯示屏檢視"},
    {Text::StepBackTip, "STEP_BACK", "Step back", "后退一步", "後退一步"},
    {Text::StepForwardTip, "STEP_FORWARD", "Step forward", "前进一步", "前進一步"},
    {Text::SignRowPage, "SIGN_ROW_PAGE", "Row %1, page %2 of %3", "第 %1 行，第 %2/%3 页",
     "第 %1 行，第 %2/%3 頁"},
    {Text::SignNothing, "SIGN_NOTHING", "No row to send has anything to show", "没有可显示的待发送行",
     "沒有可顯示的待傳送行"},
    {Text::ZoomLabel, "ZOOM_LABEL", "Zoom", "缩放", "縮放"},
    {Text::SignWidthLabel, "SIGN_WIDTH", "Sign width", "屏宽", "屏寬"},
    {Text::TimelineName, "TIMELINE", "Timeline", "时间轴", "時間軸"},
    {Text::NotReceivedTime, "NOT_RECEIVED_TIME",
     "Row %1: these signs do not receive the display time; it plays as 0s.",
     "第 %1 行：此型号的显示屏不接收停留时间，按 0s 播放。",
     "第 %1 行：此型號的顯示屏不接收停留時間，按 0s 播放。"},
    {Text::NotReceivedMarquee, "NOT_RECEIVED_MARQUEE",
     "Row %1: these signs do not receive the marquee; it plays without.",
     "第 %1 行：此型号的显示屏不接收边框，按无边框播放。",
     "第 %1 行：此型號的顯示屏不接收邊框，按無邊框播放。"},
    {Text::NotReceivedBlink, "NOT_RECEIVED_BLINK",
     "Row %1: these signs do not receive the blink flag; it plays without.",
     "第 %1 行：此型号的显示屏不接收闪烁，按不闪烁播放。",
     "第 %1 行：此型號的顯示屏不接收閃爍，按不閃爍播放。"},
    {Text::CharacterFontNote, "CHARACTER_FONT_NOTE",
     "These signs draw characters in a font of their own; the frames show the preview's dots.",
     "此型号的显示屏用自带字库显示字符；画面按预览的点阵显示。",
     "此型號的顯示屏用內建字庫顯示字元；畫面按預覽的點陣顯示。"},
    {Text::SignRenameQuestion, "ASK_SIGN_RENAME", "Sign %1 \"%2\" exists. Rename it to \"%3\"?", nullptr,
     nullptr},
    {Text::SignRemoveQuestion, "ASK_SIGN_REMOVE",
     "Remove sign %1 \"%2\" from the list? Its message file is kept.", nullptr, nullptr},
    {Text::SentToEverySign, "STATUS_SENT_TO_LINE", "Sent to every sign on the line.", nullptr, nullptr},
    {Text::Tip485, "TIP_485",
     "RS-485 addressing: every frame carries the sign's ID, and Send goes to each ticked sign in turn. "
     "Without it the frames carry no ID, so every sign on the line takes the message.",
     nullptr, nullptr},
    {Text::Tip485NoId, "TIP_485_NO_ID",
     "RS-485 line: Send goes to each ticked sign in turn. This model's frames carry no sign ID, on or off, "
     "so every sign on the line takes each message.",
     nullptr, nullptr},
    {Text::Tip485AlwaysId, "TIP_485_ALWAYS_ID",
     "RS-485 line: Send goes to each ticked sign in turn. This model's frames always carry the sign's ID, "
     "on or off.",
     nullptr, nullptr},
    {Text::ResultsPowerOn, "RESULTS_POWER_ON", "Power on: %1.", nullptr, nullptr},
    {Text::ResultsPowerOff, "RESULTS_POWER_OFF", "Power off: %1.", nullptr, nullptr},
    {Text::ResultsGroupSent, "RESULTS_GROUP_SENT", "Group send: %1.", nullptr, nullptr},
    {Text::GroupSendNeeds485, "TIP_GROUP_SEND_485", "Group Send needs a model on an RS-485 line (%1)",
     nullptr, nullptr},
    {Text::EffectNotInList, "TIP_EFFECT_NOT_IN_LIST",
     "Effect %1 is not in this model's list: the sign runs %2.", nullptr, nullptr},
    {Text::NoImageEditor, "MSG_NO_IMAGE_EDITOR", "No image editor is installed", nullptr, nullptr},
    {Text::ImageEditorHint, "HINT_IMAGE_EDITOR",
     "Install an image editor and make it the default application for BMP pictures. The exported "
     "pictures are in %1.",
     nullptr, nullptr},
    {Text::IdSeveralAnswered, "MSG_ID_SEVERAL",
     "Several signs answered (IDs %1). Read an ID with only one sign on the line.", nullptr, nullptr},
    {Text::IdNoAnswer, "MSG_ID_NO_ANSWER", "No sign answered.", nullptr, nullptr},
    {Text::IdPortNotOpened, "MSG_ID_PORT_NOT_OPENED", "The port could not be opened: %1", nullptr, nullptr},
    {Text::IdReplyNotUnderstood, "MSG_ID_REPLY_UNCLEAR", "The reply was not understood: %1", nullptr,
     nullptr},
    {Text::PickerTitle, "TITLE_PICKER", "Special characters", nullptr, nullptr},
    {Text::PickerDone, "BUTTON_DONE", "Done", nullptr, nullptr},
    {Text::ArabicDescription, "TIP_ARABIC",
     "Right-to-left text: the sign shows the message from right to left.", nullptr, nullptr},
    {Text::FaceNames, "FACE_NAMES",
     "smiling face|winking face|laughing face|sad face|surprised face|angry face|beating heart|"
     "twinkling star|arrow right|arrow left|arrow up|arrow down|chevrons|sun|moon and star|rain cloud|"
     "warning sign|music notes|ringing bell|clock|ringing telephone|hot cup|gift|tick|no entry|car|"
     "flower|tree with lights|flame|letter|coin|bird",
     nullptr, nullptr},
    {Text::SignColourMenu, "MENU_SIGN_COLOUR", "LED Colour of Single-Colour Signs(&C)", nullptr, nullptr},
    {Text::LedRed, "LED_RED", "Red", nullptr, nullptr},
    {Text::LedAmber, "LED_AMBER", "Amber", nullptr, nullptr},
    {Text::LedGreen, "LED_GREEN", "Green", nullptr, nullptr},
    {Text::LedWhite, "LED_WHITE", "White", nullptr, nullptr},
    {Text::ImportPicture, "BUTTON_IMPORT_PICTURE", "Import picture…", nullptr, nullptr},
    {Text::ImportPictureTip, "TIP_IMPORT_PICTURE", "Prepare a picture for the sign and add it to the list",
     nullptr, nullptr},
    {Text::ImportPictureTitle, "TITLE_IMPORT_PICTURE", "Import Picture", nullptr, nullptr},
    {Text::PictureOriginal, "PICTURE_ORIGINAL", "Original", nullptr, nullptr},
    {Text::PictureOnSign, "PICTURE_ON_SIGN", "On the sign", nullptr, nullptr},
    {Text::PictureHeight, "PICTURE_HEIGHT", "Height", nullptr, nullptr},
    {Text::PictureDots, "PICTURE_DOTS", "Dots", nullptr, nullptr},
    {Text::PictureThreshold, "PICTURE_THRESHOLD", "Threshold", nullptr, nullptr},
    {Text::PictureFloydSteinberg, "PICTURE_FLOYD_STEINBERG", "Dithering (Floyd–Steinberg)", nullptr, nullptr},
    {Text::PictureOrdered, "PICTURE_ORDERED", "Dithering (ordered)", nullptr, nullptr},
    {Text::PictureLevel, "PICTURE_LEVEL", "Threshold level", nullptr, nullptr},
    {Text::PictureAuto, "PICTURE_AUTO", "Auto", nullptr, nullptr},
    {Text::PictureInvert, "PICTURE_INVERT", "Invert (dark art on a light ground)", nullptr, nullptr},
    {Text::PictureNearestColour, "PICTURE_NEAREST_COLOUR", "Nearest colour", nullptr, nullptr},
    {Text::PictureOneColour, "PICTURE_ONE_COLOUR", "The sign's colour", nullptr, nullptr},
    {Text::PictureRed, "PICTURE_RED", "Red", nullptr, nullptr},
    {Text::PictureGreen, "PICTURE_GREEN", "Green", nullptr, nullptr},
    {Text::PictureYellow, "PICTURE_YELLOW", "Yellow", nullptr, nullptr},
    {Text::PictureSourceInfo, "PICTURE_SOURCE_INFO", "%1 × %2 pixels", nullptr, nullptr},
    {Text::PictureResultInfo, "PICTURE_RESULT_INFO", "%1 × %2 dots, %3 lit", nullptr, nullptr},
    {Text::PictureStop, "PICTURE_STOP", "Stop", nullptr, nullptr},
    {Text::PictureStopped, "PICTURE_STOPPED", "Stopped.", nullptr, nullptr},
    {Text::PictureUnreadable, "MSG_PICTURE_UNREADABLE", "The picture could not be read: %1", nullptr,
     nullptr},
    {Text::PictureSaveFailed, "MSG_PICTURE_SAVE_FAILED", "The prepared picture could not be saved: %1",
     nullptr, nullptr},
    {Text::PortOpens, "PORT_OPENS", "%1 opens.", nullptr, nullptr},
    {Text::PortMissing, "PORT_MISSING", "%1: no such device.", nullptr, nullptr},
    {Text::PortsPresent, "PORTS_PRESENT", "Serial ports present: %1.", nullptr, nullptr},
    {Text::PortsNonePresent, "PORTS_NONE_PRESENT",
     "No serial port is present: is the adapter plugged in? A USB adapter appears as ttyUSB0 or ttyACM0.",
     nullptr, nullptr},
    {Text::PortPermission, "PORT_PERMISSION",
     "%1: permission denied. It belongs to user %2 and group %3 (%4).", nullptr, nullptr},
    {Text::PortNotInGroup, "PORT_NOT_IN_GROUP",
     "You (%1) are not in group %2. Add yourself with this command, then log out and in again:", nullptr,
     nullptr},
    {Text::PortGroupNotInSession, "PORT_GROUP_NEW",
     "You (%1) were added to group %2 after this session began: log out and in again, or start a shell in "
     "the "
     "group:",
     nullptr, nullptr},
    {Text::PortGroupRefused, "PORT_GROUP_REFUSED",
     "You (%1) are in group %2, yet the system refuses the device: an access control list or a security "
     "module "
     "stands in the way.",
     nullptr, nullptr},
    {Text::PortOwnerOnly, "PORT_OWNER_ONLY",
     "Only its owner may open it. A udev rule can give group %1 read and write access, for example:", nullptr,
     nullptr},
    {Text::PortBusy, "PORT_BUSY", "%1 is in use by another program:", nullptr, nullptr},
    {Text::PortExclusive, "PORT_EXCLUSIVE", "%1 is opened exclusively by another program.", nullptr, nullptr},
    {Text::PortHolder, "PORT_HOLDER", "%1 (process %2)", nullptr, nullptr},
    {Text::PortLockHolder, "PORT_LOCK_HOLDER", "%1 (process %2), lock file %3", nullptr, nullptr},
    {Text::PortCloseHolder, "PORT_CLOSE_HOLDER", "Close that program or stop its service, then try again.",
     nullptr, nullptr},
    {Text::PortModemManager, "PORT_MODEM_MANAGER",
     "ModemManager is running and probes %1 as a modem when it appears, which garbles the line. Exclude the "
     "adapter with this udev rule in /etc/udev/rules.d/99-vexa-signs.rules, reload the rules, then plug the "
     "adapter in again:",
     nullptr, nullptr},
    {Text::PortNotSerial, "PORT_NOT_SERIAL", "%1 is not a serial port.", nullptr, nullptr},
    {Text::PortNoHardware, "PORT_NO_HARDWARE",
     "%1 exists, but no device answers behind it (%2): plug the adapter in again or choose another port.",
     nullptr, nullptr},
    {Text::PortFailed, "PORT_FAILED", "%1 cannot be opened: %2.", nullptr, nullptr},
    {Text::NetNotResolved, "NET_NOT_RESOLVED",
     "The name %1 does not resolve: check its spelling and the computer's name service (DNS, /etc/hosts).",
     nullptr, nullptr},
    {Text::NetRefused, "NET_REFUSED",
     "%1 refuses the connection: is the device server running, and is %2 the port of this line?", nullptr,
     nullptr},
    {Text::NetNoAnswer, "NET_NO_ANSWER",
     "Nothing answers at %1 within %2 s: the address may be wrong, the server off, or a firewall may drop "
     "the "
     "connection.",
     nullptr, nullptr},
    {Text::NetBaudRefused, "NET_BAUD_REFUSED",
     "The device server did not take %1 baud for the line (it set %2): allow that rate for this port in the "
     "server's configuration.",
     nullptr, nullptr},
    {Text::NetNoComPort, "NET_NO_COM_PORT",
     "The device server at %1 does not offer COM port control (RFC 2217): enable it for this port, or use "
     "tcp://%1 if the server sets the line itself.",
     nullptr, nullptr},
    {Text::NetComPortSilent, "NET_COM_PORT_SILENT",
     "The device server at %1 took the connection but did not answer COM port control (RFC 2217) within %2 "
     "s: if "
     "it is a raw TCP port, use tcp://%1.",
     nullptr, nullptr},
    {Text::NetBadName, "NET_BAD_NAME",
     "%1 is no network port name: write tcp://HOST:PORT or rfc2217://HOST:PORT.", nullptr, nullptr},
    {Text::OpenFailureDetail, "OPEN_FAILURE_DETAIL", "Port: %1\nReason: %2", nullptr, nullptr},
    {Text::DurationSeconds, "DURATION_SECONDS", "about %1 s", nullptr, nullptr},
    {Text::DurationMinutes, "DURATION_MINUTES", "about %1 min", nullptr, nullptr},
    {Text::DurationUnderSecond, "DURATION_UNDER_SECOND", "under 1 s", nullptr, nullptr},
    {Text::SendingAbout, "SENDING_ABOUT", "Sending: %1", nullptr, nullptr},
    {Text::SendEstimateTip, "TIP_SEND_ESTIMATE",
     "How long Send takes at the model's baud rate: every frame, the pauses between them and the port's "
     "closing",
     nullptr, nullptr},
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

QString LanguageTexts::FaceName(int k) const {
    const QStringList names = Get(Text::FaceNames).split(QLatin1Char('|'));
    if (k >= 0 && k < names.size() && !names[k].trimmed().isEmpty())
        return names[k].trimmed();
    return Get(Text::FaceTip).arg(k);
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
