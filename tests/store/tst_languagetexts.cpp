#include "store/LanguageTexts.h"

#include <QFile>
#include <QObject>
#include <QStringConverter>
#include <QTemporaryDir>
#include <QTest>

using namespace vexa;

namespace {

using Text = LanguageTexts::Text;

QByteArray Utf16Le(const QString& text) {
    QByteArray bytes("\xFF\xFE", 2);
    for (const QChar c : text)
        bytes.append(static_cast<char>(c.unicode() & 0xFF)).append(static_cast<char>(c.unicode() >> 8));
    return bytes;
}

QByteArray Resource(int number) {
    LanguageTexts init; // makes the resources known
    init.SelectLanguage(LanguageTexts::English);
    QFile f(QStringLiteral(":/LANG/%1").arg(number));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The English file as the program's documentation gives it, entry for entry.
const char* const kEnglish[][2] = {
    {"IDS_MENU_FILE", "File(&F)"},
    {"IDS_FILE_NEW", "New(&N)"},
    {"IDS_FILE_OPEN", "Open(&O)"},
    {"IDS_FILE_SAVE", "Save(&S)"},
    {"IDS_FILE_SAVEAS", "Save As(&A)"},
    {"IDS_FILE_EXIT", "Exit(&E)"},
    {"IDS_MENU_SET", "Setting(&S)"},
    {"IDS_SET_MODIFYID", "ID Modify(&I)"},
    {"IDS_MENU_TOOL", "Tools(&T)"},
    {"IDS_TOOL_CHECKTIME", "Synchronize Time(&V)"},
    {"IDS_TOOL_SEND", "Send(&T)"},
    {"IDS_TOOL_GROUPSEND", "Group Send(&G)"},
    {"IDS_MENU_LANG", "Language(&L)"},
    {"IDS_MENU_HELP", "Help(&H)"},
    {"IDS_HELP_ABOUT", "About(&A)"},
    {"IDS_EDIT_MENU_ITEM1", "Empty"},
    {"IDS_EDIT_MENU_ITEM2", "Text"},
    {"IDS_EDIT_MENU_ITEM3", "Image"},
    {"IDS_EDIT_MENU_ITEM4", "Date"},
    {"IDS_DZ_MENU_ITEM1", "Left"},
    {"IDS_DZ_MENU_ITEM2", "Right"},
    {"IDS_DZ_MENU_ITEM3", "Up"},
    {"IDS_DZ_MENU_ITEM4", "Down"},
    {"IDS_DZ_MENU_ITEM5", "Fix"},
    {"IDS_DZ_MENU_ITEM6", "Animation"},
    {"IDS_DZ_MENU_ITEM7", "Snow"},
    {"IDS_DZ_MENU_ITEM8", "Middle"},
    {"IDS_DZ_MENU_ITEM9", "Blink"},
    {"IDD102_1050", "Preview"},
    {"IDD102_1079", "Edit"},
    {"IDD102_1080", "Effect"},
    {"IDD102_1081", "Speed"},
    {"IDD102_1082", "Time"},
    {"IDD102_1083", "Marquee"},
    {"IDD102_1084", "Vertical"},
    {"IDD102_1085", "Blink"},
    {"IDD102_1093", "Send"},
    {"IDD102_1054", "Add"},
    {"IDD102_1094", "Modify"},
    {"IDD102_1095", "Del"},
    {"IDD102_1098", "Check time"},
    {"IDD102_1096", "Send"},
    {"IDD102_1065", "Bmp editor"},
    {"IDD102_1100", "Scan"},
    {"IDD140_Title", "Text Editor"},
    {"IDD140_1050", "Preview"},
    {"IDD140_1051", "Edit"},
    {"IDD140_1060", "Bold"},
    {"IDD140_1061", "Italic"},
    {"IDD140_1062", "Underline"},
    {"IDD140_1", "OK"},
    {"IDD140_2", "Cancel"},
    {"IDD163_Title", "ID Editor"},
    {"IDD163_1", "OK"},
    {"IDD163_2", "Cancel"},
    {"IDD163_1079", "Name"},
    {"IDD163_20030", "Auto Add"},
    {"IDD164_Title", "Image Editor"},
    {"IDD164_1050", "Preview"},
    {"IDD164_1051", "Edit"},
    {"IDD164_1054", "Add"},
    {"IDD164_1066", "Del"},
    {"IDD164_1067", "Up"},
    {"IDD164_1068", "Down"},
    {"IDD164_1069", "Preview"},
    {"IDD164_1", "OK"},
    {"IDD164_2", "Cancel"},
    {"IDD165_Title", "Date Editor"},
    {"IDD165_1050", "Preview"},
    {"IDD165_1051", "Edit"},
    {"IDD165_1060", "Bold"},
    {"IDD165_1061", "Italic"},
    {"IDD165_1062", "Underline"},
    {"IDD165_1093", "Format"},
    {"IDD165_20030", "Y"},
    {"IDD165_20031", "M"},
    {"IDD165_20032", "D"},
    {"IDD165_20033", "W"},
    {"IDD165_20034", "T"},
    {"IDD165_20035", "S"},
    {"IDD165_1", "OK"},
    {"IDD165_2", "Cancel"},
    {"IDD201_title", "ID modify"},
    {"IDD201_1065", "Read"},
    {"IDD201_1066", "Set"},
    {"IDD142_2", "Cancel"},
    {"IDD240_title", "Text Editor"},
    {"IDD240_1050", "Preview"},
    {"IDD240_1051", "Edit"},
    {"IDD240_1", "OK"},
    {"IDD240_2", "Cancel"},
    {"IDD310_1108", "Power"},
    {"IDD310_1109", "Send"},
    {"IDD310_1065", "Power ON"},
    {"IDD310_1068", "Power OFF"},
    {"IDD310_1069", "Send All"},
    {"IDD310_1070", "Send Selected"},
    {"IDD310_1105", "All"},
    {"IDD310_1106", "No All"},
    {"IDD310_1107", "Reverse"},
};

// Texts the program fixes in Chinese whatever the language; the Chinese files keep them.
const Text kChineseForAll[] = {Text::CopyMessages, Text::PasteMessages, Text::ImageFiles, Text::WaitTitle,
                               Text::WaitPreparing};

// A control with a text, the way a label or a button has one.
class TextControl : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString text MEMBER text)
public:
    TextControl(int controlId, QObject* parent) : QObject(parent) { setProperty("controlId", controlId); }
    QString text = QStringLiteral("kept");
};

} // namespace

class TestLanguageTexts : public QObject {
    Q_OBJECT

private slots:
    // Every file: UTF-16LE with its mark, CR LF lines only, the two sections, the same
    // entry names as the English file and every one of the program's own, no empty text.
    void everyFileIsComplete() {
        LanguageTexts english;
        QVERIFY(english.SelectLanguage(LanguageTexts::English));
        const QStringList names = english.File().Names(LanguageTexts::StringSection);
        QCOMPARE(names.size(), 100);
        for (const LanguageTexts::Language& language : LanguageTexts::Languages()) {
            const QByteArray bytes = Resource(language.resource);
            QVERIFY2(bytes.startsWith("\xFF\xFE") && bytes.size() % 2 == 0,
                     qPrintable(QString::number(language.resource)));
            const QString text = QStringDecoder(QStringDecoder::Utf16LE)(bytes.mid(2));
            QVERIFY(!text.contains(QChar::ReplacementCharacter));
            QVERIFY(text.endsWith(QLatin1String("\r\n")));
            QCOMPARE(text.count(QLatin1Char('\n')), text.count(QLatin1String("\r\n")));
            QCOMPARE(text.count(QLatin1Char('\r')), text.count(QLatin1String("\r\n")));

            LanguageTexts texts;
            QVERIFY(texts.SelectLanguage(language.code));
            QVERIFY(texts.File().Read(QStringLiteral("Setting"), QStringLiteral("Language")).has_value());
            QCOMPARE(texts.File().Names(LanguageTexts::StringSection), names);
            for (const QString& name : names)
                QVERIFY2(!texts.File().Read(LanguageTexts::StringSection, name)->isEmpty(), qPrintable(name));
            QCOMPARE(texts.File().Names(LanguageTexts::OwnSection).size(), static_cast<int>(Text::Count));
            for (int i = 0; i < static_cast<int>(Text::Count); ++i) {
                const QString entry = LanguageTexts::OwnEntry(static_cast<Text>(i));
                const auto written = texts.File().Read(LanguageTexts::OwnSection, entry);
                QVERIFY2(written && !written->isEmpty(), qPrintable(entry));
            }
            QCOMPARE(texts.LookupString(QStringLiteral("IDS_MENU_FILE")).right(4), QStringLiteral("(&F)"));
        }
    }

    void englishFileIsTheDocumentedOne() {
        LanguageTexts texts;
        QVERIFY(texts.SelectLanguage(LanguageTexts::English));
        const QStringList names = texts.File().Names(LanguageTexts::StringSection);
        QCOMPARE(names.size(), static_cast<int>(std::size(kEnglish)));
        for (size_t i = 0; i < std::size(kEnglish); ++i) {
            QCOMPARE(names.at(static_cast<int>(i)), QString::fromLatin1(kEnglish[i][0]));
            QCOMPARE(*texts.File().Read(LanguageTexts::StringSection, names.at(static_cast<int>(i))),
                     QString::fromLatin1(kEnglish[i][1]));
        }
    }

    // The samples of the documentation, and the program's own texts kept exactly in the
    // language they were written in: English in the English file, Chinese in the two
    // Chinese files (for the texts fixed in Chinese, in both).
    void samplesAndOwnTextsStayAsWritten() {
        const std::pair<int, const char*> samples[] = {
            {1, "文件(&F)"}, {2, "文件(&F)"},   {4, "ファイル(&F)"}, {5, "파일(&F)"},    {6, "Файл(&F)"},
            {7, "ไฟล์(&F)"},  {8, "berkas(&F)"}, {9, "fail(&F)"},     {10, "tập tin(&F)"}};
        for (const auto& [code, sample] : samples) {
            LanguageTexts texts;
            QVERIFY(texts.SelectLanguage(code));
            QCOMPARE(texts.LookupString(QStringLiteral("IDS_MENU_FILE")), QString::fromUtf8(sample));
        }
        LanguageTexts english, simplified, traditional;
        QVERIFY(english.SelectLanguage(3) && simplified.SelectLanguage(1) && traditional.SelectLanguage(2));
        for (int i = 0; i < static_cast<int>(Text::Count); ++i) {
            const auto text = static_cast<Text>(i);
            const bool chinese = std::find(std::begin(kChineseForAll), std::end(kChineseForAll), text) !=
                                 std::end(kChineseForAll);
            if (!chinese)
                QCOMPARE(english.Get(text), LanguageTexts::DefaultText(text, 3));
            if (chinese || LanguageTexts::DefaultText(text, 1) != LanguageTexts::DefaultText(text, 3))
                QCOMPARE(simplified.Get(text), LanguageTexts::DefaultText(text, 1));
            if (chinese || LanguageTexts::DefaultText(text, 2) != LanguageTexts::DefaultText(text, 3))
                QCOMPARE(traditional.Get(text), LanguageTexts::DefaultText(text, 2));
        }
    }

    // The profile reader's rules on a file of our own.
    void readingRules() {
        LanguageTexts texts;
        QString big(1200, QLatin1Char('x'));
        QVERIFY(texts.LoadLanguageFile(Utf16Le(QStringLiteral("[setting]\r\nLanguage=Test\r\n"
                                                              "  [ STRING ]  \r\n"
                                                              "IDD140_Title=Editor\r\n"
                                                              "IDS_TOOL_CHECKTIME =X\r\n"
                                                              "IDS_FILE_NEW=  New  \r\n"
                                                              "IDS_FILE_NEW=second\r\n"
                                                              "IDS_HELP_ABOUT=two\\nlines\r\n"
                                                              "IDD102_1050=two\\nlines\r\n"
                                                              "IDS_MENU_HELP=") +
                                               big + QStringLiteral("\r\n"))));
        QCOMPARE(texts.DialogTitle(140), QStringLiteral("Editor")); // asked for as "IDD140_title"
        QCOMPARE(texts.LookupString(QStringLiteral("IDS_TOOL_CHECKTIME")), QStringLiteral("X"));
        QCOMPARE(texts.LookupString(QStringLiteral("ids_file_new")), QStringLiteral("New"));
        QCOMPARE(texts.LookupString(QStringLiteral("IDS_HELP_ABOUT")), QStringLiteral("two\nlines"));
        QCOMPARE(texts.DialogText(102, 1050), QStringLiteral("two\\nlines"));
        QCOMPARE(texts.LookupString(QStringLiteral("IDS_MENU_HELP")).size(), 999);
        QCOMPARE(texts.LookupString(QStringLiteral("IDS_MENU_FILE")), QStringLiteral("Not found"));
        QCOMPARE(texts.DialogText(102, 1054), QString());
        // A file with only the documented entries falls back to the program's own texts.
        QCOMPARE(texts.Get(Text::SelectPortFirst), QStringLiteral("please select a COM Port !"));
    }

    void defaultsByCode() {
        QCOMPARE(LanguageTexts(3).WaitLine(3, 2, 2), QStringLiteral("Setting ID：3，Total:2，Last:2"));
        QCOMPARE(LanguageTexts(7).WaitLine(9, 2, 1), QStringLiteral("Setting ID：9，Total:2，Last:1"));
        QCOMPARE(LanguageTexts(1).WaitLine(9, 2, 1), QStringLiteral("设置 ID：9，总数量:2，待设置数量:1"));
        QCOMPARE(LanguageTexts(2).WaitLine(255, 3, 3),
                 QStringLiteral("設置 ID：255，總數量:3，待設置數量:3"));
        QCOMPARE(LanguageTexts(7).Get(Text::SelectPortFirst), QStringLiteral("please select a COM Port !"));
        QCOMPARE(LanguageTexts(1).Get(Text::SelectPortFirst), QStringLiteral("请先选择串口!"));
        QCOMPARE(LanguageTexts(2).Get(Text::SelectPortFirst), QStringLiteral("請先選擇串口!"));
        QCOMPARE(LanguageTexts::StatusText(LanguageTexts::ModelWord(3), QStringLiteral("P30")),
                 QStringLiteral("Model:P30"));
        QCOMPARE(LanguageTexts::StatusText(LanguageTexts::ModelWord(1), QStringLiteral("P30")),
                 QStringLiteral("设备型号:P30"));
        QCOMPARE(LanguageTexts::ModelWord(6), QStringLiteral("Тип оборудования"));
        QCOMPARE(LanguageTexts::SwitchModelWord(6), QStringLiteral("мадэль"));
        QCOMPARE(LanguageTexts::ResourceFor(11), 169);
        QCOMPARE(LanguageTexts::ResourceFor(9), 236);
    }

    void unreadableFileFindsNothing() {
        QTemporaryDir empty;
        LanguageTexts texts(3, empty.path());
        QVERIFY(!texts.SelectLanguage(4));
        QCOMPARE(texts.Code(), 4);
        QCOMPARE(texts.LookupString(QStringLiteral("IDS_MENU_FILE")), QStringLiteral("Not found"));
    }

    // Titles, control texts and tooltips reach objects by their control IDs.
    void dialogTextsByControlId() {
        LanguageTexts texts;
        QVERIFY(texts.SelectLanguage(6));
        QObject dialog;
        QObject frame(&dialog);
        TextControl inner(1050, &frame);
        TextControl unknown(4711, &dialog);
        QObject child(&dialog); // another dialog opened from this one
        child.setProperty("templateId", 164);
        TextControl childPreview(1050, &child);
        texts.ApplyDialogTexts(&dialog, 140);
        QCOMPARE(dialog.property("windowTitle").toString(), QStringLiteral("Текстовый редактор"));
        QCOMPARE(inner.text, QStringLiteral("Просмотр"));
        QCOMPARE(inner.property("toolTip").toString(), QStringLiteral("Просмотр"));
        QCOMPARE(unknown.text, QStringLiteral("kept"));
        QCOMPARE(childPreview.text, QStringLiteral("kept"));
        QObject picker;
        TextControl cancel(2, &picker);
        texts.ApplyDialogTexts(&picker, 142); // no tooltips, no title
        QVERIFY(!picker.property("windowTitle").isValid());
        QCOMPARE(cancel.text, QStringLiteral("Отмена"));
        QVERIFY(!cancel.property("toolTip").isValid());
    }
};

QTEST_GUILESS_MAIN(TestLanguageTexts)
#include "tst_languagetexts.moc"
