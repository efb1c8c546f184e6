#include "app/CVexaApp.h"
#include "app/LanguageCodes.h"
#include "app/WorkFiles.h"
#include "app/ui/CAboutDlg.h"
#include "app/ui/CVexaDlg.h"
#include "app/ui/CWaitDlg.h"
#include "app/ui/CWzdStatusBar.h"
#include "app/ui/IContentEditorLauncher.h"
#include "app/ui/MessageRowControls.h"
#include "support/WidgetFinder.h"

#include <QDialogButtonBox>
#include <QGroupBox>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeWidget>
#include <memory>

using namespace vexa;

// The main window in the ten languages: the Language menu, what a switch changes, the
// start-up choice, and what the dialogs opened from the window read.
class TestLanguages : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<CVexaApp> app;
    std::unique_ptr<CVexaDlg> window;

    // Opens the window on a P29 sign with the stored language (-1: none stored).
    void Open(int storedLanguage) {
        window.reset();
        app.reset();
        dir = std::make_unique<QTemporaryDir>();
        app = std::make_unique<CVexaApp>(AppPaths(dir->path(), dir->path()));
        QVERIFY(QDir().mkpath(app->Paths().WorkDataDir()));
        QVERIFY(app->settingsFile.SetLedType(QStringLiteral("P29")));
        if (storedLanguage >= 0)
            QVERIFY(app->settingsFile.SetLanguage(storedLanguage));
        QVERIFY(app->settingsFile.SetNowSelID(1));
        QVERIFY(WorkFiles::WriteTemplate(ModelCatalogue::TemplateFor(QStringLiteral("P29")),
                                         app->Paths().WorkFilePath(1)));
        app->StartUp();
        CVexaDlg::Services services;
        services.listPorts = [] { return QList<SerialPortList::Port>(); };
        services.watchPorts = false;
        window = std::make_unique<CVexaDlg>(*app, std::move(services));
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
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
    void cleanup() {
        window.reset();
        app.reset();
        dir.reset();
    }

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
