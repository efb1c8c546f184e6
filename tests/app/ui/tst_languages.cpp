#include "app/CVexaApp.h"
#include "app/LanguageCodes.h"
#include "app/ui/CAboutDlg.h"
#include "app/ui/CVexaDlg.h"
#include "app/ui/CWaitDlg.h"
#include "app/ui/CWzdStatusBar.h"
#include "app/ui/IContentEditorLauncher.h"
#include "app/ui/MessageRowControls.h"
#include "editors/CDialogDate.h"
#include "editors/CDialogFace.h"
#include "editors/CDialogImg.h"
#include "editors/CTxtDialog.h"
#include "editors/CWtxtDialog.h"
#include "link/ui/CDialogGroup.h"
#include "link/ui/CDialogID.h"
#include "link/ui/CDialogIDSet.h"
#include "support/MainWindowRig.h"
#include "support/WidgetFinder.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QSet>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeWidget>
#include <functional>
#include <memory>

using namespace vexa;

namespace {

// Runs check on the modal dialog D once open() has brought it up, then closes it.
template <typename D>
bool WithModal(const std::function<void()>& open, const std::function<void(D&)>& check) {
    bool seen = false;
    QTimer::singleShot(0, [&] {
        D* dialog = test::WaitForModal<D>();
        if (!dialog) {
            if (auto* other = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
                other->reject();
            return;
        }
        seen = true;
        check(*dialog);
        if (dialog->isVisible())
            dialog->reject();
    });
    open();
    return seen;
}

// What the operator reads on a widget: the text of a label or button, the title of a
// frame, and its tooltip (what is typed into a field is data).
QStringList ShownTexts(const QWidget* w) {
    QStringList shown;
    if (qobject_cast<const QLabel*>(w) || qobject_cast<const QAbstractButton*>(w))
        shown << w->property("text").toString();
    if (qobject_cast<const QGroupBox*>(w))
        shown << w->property("title").toString();
    shown << w->toolTip();
    shown.removeAll(QString());
    return shown;
}

// Problems of a dialog shown in the language of texts: an entry of the file for the
// template that reaches no control or is not shown, and any text on screen that is an
// English text of the program where the language has another (one letter, such as the
// "Y" of the offset, is the same in every script).
QStringList DialogTextProblems(const QDialog& dialog, int templateId, const LanguageTexts& texts) {
    QStringList problems;
    const QString prefix = QStringLiteral("IDD%1_").arg(templateId);
    for (const QString& name : texts.File().Names(LanguageTexts::StringSection)) {
        if (!name.startsWith(prefix, Qt::CaseInsensitive))
            continue;
        const QString suffix = name.mid(prefix.size());
        const QString expected = *texts.File().Read(LanguageTexts::StringSection, name);
        if (suffix.compare(QLatin1String("title"), Qt::CaseInsensitive) == 0) {
            if (dialog.windowTitle() != expected)
                problems << name + QStringLiteral(": title ") + dialog.windowTitle();
            continue;
        }
        if (name == QLatin1String("IDD164_1069"))
            continue; // the file names a control the image editor does not have
        const QWidget* control = test::FindControl(&dialog, suffix.toInt());
        if (!control || !ShownTexts(control).contains(expected))
            problems << name + QStringLiteral(": ") +
                            (control ? ShownTexts(control).join(u'|') : "no control");
    }
    LanguageTexts english;
    english.SelectLanguage(LanguageTexts::English);
    QSet<QString> englishOnly;
    for (const QString& section : {LanguageTexts::StringSection, LanguageTexts::OwnSection}) {
        for (const QString& name : english.File().Names(section)) {
            const QString word = *english.File().Read(section, name);
            if (texts.File().Read(section, name) != word)
                englishOnly << word;
        }
    }
    QList<const QWidget*> widgets{&dialog};
    for (const QWidget* w : dialog.findChildren<QWidget*>())
        widgets << w;
    for (const QWidget* w : widgets) {
        QStringList shownTexts = ShownTexts(w);
        if (w == &dialog)
            shownTexts << w->windowTitle();
        for (const QString& shown : std::as_const(shownTexts)) {
            if (shown.size() > 1 && englishOnly.contains(shown))
                problems << QStringLiteral("English: ") + shown;
        }
    }
    return problems;
}

// The file dialog's own words and the image filter in the language of texts.
QStringList FileDialogProblems(const QFileDialog& files, const LanguageTexts& texts) {
    using Text = LanguageTexts::Text;
    QStringList problems;
    const auto* lookIn = files.findChild<QLabel*>(QStringLiteral("lookInLabel"));
    const auto* types = files.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
    if (files.windowTitle() != texts.Get(Text::FileDialogOpenTitle))
        problems << QStringLiteral("file dialog title ") + files.windowTitle();
    if (!lookIn || lookIn->text() != texts.Get(Text::FileDialogLookIn))
        problems << QStringLiteral("file dialog label ") + (lookIn ? lookIn->text() : QString());
    if (!types || !types->currentText().startsWith(texts.Get(Text::ImageFiles) + QStringLiteral(" (*.bmp")))
        problems << QStringLiteral("file filter ") + (types ? types->currentText() : QString());
    return problems;
}

} // namespace

// The main window in the ten languages: the Language menu, what a switch changes, the
// start-up choice, and what the dialogs opened from the window read.
class TestLanguages : public QObject, public test::MainWindowRig {
    Q_OBJECT

private:
    // Opens the window on a sign of model with the stored language (-1: none stored).
    void Open(int storedLanguage, const QString& model = QStringLiteral("P29")) {
        OpenWindow(
            {.model = model, .language = storedLanguage, .dataDir = QStringLiteral(VEXA_BIN_DIR "/Data")});
    }

    template <typename W> W* Get(int id) { return test::Get<W>(window.get(), id); }
    QString MenuTitle(int position) { return window->menuBar()->actions().at(position)->text(); }
    QStringList Checked() {
        QStringList checked;
        for (const LanguageTexts::Language& language : LanguageTexts::Languages()) {
            if (window->Command(language.command)->isChecked())
                checked << QString::number(language.code);
        }
        return checked;
    }
    void ShowLanguageMenu() {
        QMenu* menu = window->Command(32842)->associatedObjects().isEmpty()
                          ? nullptr
                          : qobject_cast<QMenu*>(window->Command(32842)->associatedObjects().constFirst());
        QVERIFY(menu);
        emit menu->aboutToShow();
    }

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void cleanup() { CloseWindow(); }

    void switchingReachesMenusRowsControlsAndStatus() {
        Open(3);
        QCOMPARE(MenuTitle(0), QStringLiteral("File(&F)"));
        window->Command(32848)->trigger(); // Русский
        QCOMPARE(app->settingsFile.Language(), 6);
        const QStringList titles = {QStringLiteral("Файл(&F)"), QStringLiteral("Настройка(&S)"),
                                    QStringLiteral("Сервис(&T)"), QStringLiteral("Язык(&L)"),
                                    QStringLiteral("Справка(&H)")};
        for (int i = 0; i < titles.size(); ++i)
            QCOMPARE(MenuTitle(i), titles[i]);
        QCOMPARE(window->Command(CVexaDlg::FileNew)->text(), QStringLiteral("Создать(&N)"));
        QCOMPARE(window->Command(CVexaDlg::SynchronizeTime)->text(),
                 QStringLiteral("Синхронизировать время(&V)"));
        QCOMPARE(window->Command(32873)->text(), QStringLiteral("Việt Ngữ")); // never translated

        auto* content = Get<QPushButton>(MessageRowControls::ContentId);
        auto* effect = Get<QPushButton>(MessageRowControls::EffectId);
        QCOMPARE(content->menu()->actions().at(0)->text(), QStringLiteral("Текст"));
        // P29 has the list of seven that starts with Fix and ends with Blink.
        QCOMPARE(effect->menu()->actions().at(0)->text(), QStringLiteral("Статично"));
        QCOMPARE(effect->menu()->actions().at(6)->text(), QStringLiteral("Мигание"));
        QCOMPARE(content->text(), content->menu()->actions().at(app->messageTable.kind[0] - 1)->text());
        QCOMPARE(effect->text(), effect->menu()->actions().at(app->messageTable.effect[0])->text());
        QVERIFY(effect->width() >= effect->fontMetrics().horizontalAdvance(QStringLiteral("Анимация")));

        QCOMPARE(Get<QLabel>(1050)->text(), QStringLiteral("Просмотр"));
        QCOMPARE(Get<QPushButton>(CVexaDlg::SendButton)->text(), QStringLiteral("Отправить"));
        QCOMPARE(Get<QPushButton>(CVexaDlg::SendButton)->toolTip(), QStringLiteral("Отправить"));
        QCOMPARE(Get<QPushButton>(CVexaDlg::ScanButton)->text(), QStringLiteral("Поиск"));
        QCOMPARE(window->findChild<QTreeWidget*>()->topLevelItem(0)->text(0), QStringLiteral("Табло"));
        QCOMPARE(window->StatusPanes()->PaneText(0), QStringLiteral("мадэль:P29"));
        QCOMPARE(window->StatusPanes()->PaneText(1), QStringLiteral("COM:АВТО")); // no port chosen

        // Dialogs opened later: the wait dialog and the about box have no file entries and
        // keep their titles, but their own texts and the standard buttons follow.
        CWaitDlg wait(window.get());
        QCOMPARE(wait.windowTitle(), QStringLiteral("Пожалуйста, подождите……"));
        QCOMPARE(wait.Text(), QStringLiteral("Подготовка……"));
        QCOMPARE(test::Get<QPushButton>(&wait, 1)->text(), QStringLiteral("ОК"));
        CAboutDlg about(window.get());
        QCOMPARE(about.windowTitle(), QStringLiteral("Vexa Message Editor"));

        window->Command(32842)->trigger(); // back to English
        QCOMPARE(MenuTitle(0), QStringLiteral("File(&F)"));
        QCOMPARE(Get<QLabel>(1050)->text(), QStringLiteral("Preview"));
        QCOMPARE(window->StatusPanes()->PaneText(0), QStringLiteral("Model:P29"));
    }

    // Every language shows its own check mark; nothing is checked while nothing is stored.
    void checkMarksFollowTheStoredChoice() {
        Open(-1);
        QCOMPARE(app->language, LanguageCodes::DefaultLanguageCode());
        ShowLanguageMenu();
        QCOMPARE(Checked(), QStringList());
        window->Command(32870)->trigger(); // ภาษาไทย
        QCOMPARE(Checked(), QStringList{QStringLiteral("7")});
        QCOMPARE(MenuTitle(0), QStringLiteral("ไฟล์(&F)"));
        window->Command(32844)->trigger();
        QCOMPARE(Checked(), QStringList{QStringLiteral("2")});
    }

    void everyDialogSpeaksTheChosenLanguage_data() {
        QTest::addColumn<int>("language");
        QTest::addColumn<int>("templateId");
        for (const int language : {6, 4, 7}) {
            for (const int templateId : {140, 142, 163, 164, 165, 201, 240, 310})
                QTest::addRow("%d/%d", language, templateId) << language << templateId;
        }
    }

    // A language chosen in the menu reaches every dialog opened afterwards: its title and
    // the texts of its controls are the file's, and nothing on it is left in English.
    void everyDialogSpeaksTheChosenLanguage() {
        QFETCH(int, language);
        QFETCH(int, templateId);
        const bool glyphModel = templateId == 142 || templateId == 164 || templateId == 240;
        Open(3, glyphModel ? QStringLiteral("P06") : QStringLiteral("P27"));
        for (const LanguageTexts::Language& l : LanguageTexts::Languages()) {
            if (l.code == language)
                window->Command(l.command)->trigger();
        }
        LanguageTexts texts;
        QVERIFY(texts.SelectLanguage(language));
        QCOMPARE(MenuTitle(0), texts.LookupString(QStringLiteral("IDS_MENU_FILE")));

        QStringList problems;
        bool checked = false;
        const auto check = [&](QDialog& dialog) {
            QCOMPARE(dialog.property("templateId").toInt(), templateId);
            problems = DialogTextProblems(dialog, templateId, texts);
            checked = true;
        };
        const auto fromRow = [&](int item) { QVERIFY(test::ChooseMenuItem(window.get(), 20070, item)); };
        switch (templateId) {
        case 140:
            QVERIFY(WithModal<CTxtDialog>([&] { fromRow(20091); }, check));
            break;
        case 165:
            QVERIFY(WithModal<CDialogDate>([&] { fromRow(20093); }, check));
            break;
        case 240:
            QVERIFY(WithModal<CWtxtDialog>([&] { fromRow(20091); }, check));
            break;
        case 164: // and the file dialog of its Add button, with its filter
            QVERIFY(WithModal<CDialogImg>(
                [&] { fromRow(20092); },
                [&](CDialogImg& editor) {
                    check(editor);
                    const bool chosen = WithModal<QFileDialog>(
                        [&] { test::Get<QAbstractButton>(&editor, CDialogImg::AddButton)->click(); },
                        [&](QFileDialog& files) { problems << FileDialogProblems(files, texts); });
                    if (!chosen)
                        problems << QStringLiteral("no file dialog");
                }));
            break;
        case 142:
            QVERIFY(WithModal<CWtxtDialog>(
                [&] { fromRow(20091); },
                [&](CWtxtDialog& editor) {
                    WithModal<CDialogFace>(
                        [&] { test::Get<QAbstractButton>(&editor, CWtxtDialog::PickerButton)->click(); },
                        check);
                }));
            break;
        case 163:
            QVERIFY(WithModal<CDialogID>([&] { Get<QAbstractButton>(CVexaDlg::AddButton)->click(); }, check));
            break;
        case 201:
            QVERIFY(WithModal<CDialogIDSet>([&] { window->Command(CVexaDlg::IdModify)->trigger(); }, check));
            break;
        case 310:
            QVERIFY(WithModal<CDialogGroup>([&] { window->Command(CVexaDlg::GroupSend)->trigger(); }, check));
            break;
        default:
            QFAIL("no such dialog");
        }
        QVERIFY(checked);
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QStringLiteral("; "))));
    }

    void storedZeroFollowsTheSystemAndElevenShowsEnglish() {
        Open(0);
        const int system = LanguageCodes::DefaultLanguageCode();
        QCOMPARE(app->language, system);
        LanguageTexts expected;
        QVERIFY(expected.SelectLanguage(system));
        QCOMPARE(MenuTitle(0), expected.LookupString(QStringLiteral("IDS_MENU_FILE")));
        ShowLanguageMenu();
        QCOMPARE(Checked(), QStringList());

        Open(11);
        QCOMPARE(app->language, 11);
        QCOMPARE(MenuTitle(0), QStringLiteral("File(&F)"));
        QCOMPARE(Get<QLabel>(1081)->text(), QStringLiteral("Speed"));
        QCOMPARE(window->StatusPanes()->PaneText(0), QStringLiteral("Model:P29"));
        ShowLanguageMenu();
        QCOMPARE(Checked(), QStringList());
    }
};

QTEST_MAIN(TestLanguages)
#include "tst_languages.moc"
