#include "app/CVexaApp.h"
#include "app/WorkFiles.h"
#include "app/ui/CVexaDlg.h"
#include "app/ui/CWaitDlg.h"
#include "app/ui/CWzdStatusBar.h"
#include "app/ui/IContentEditorLauncher.h"
#include "app/ui/MessageRowControls.h"
#include "app/ui/SignColourMenu.h"
#include "render/ui/CImageWnd.h"
#include "support/BoxAnswerer.h"
#include "support/MainWindowRig.h"
#include "support/WidgetFinder.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QHelpEvent>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolTip>
#include <QTreeWidget>
#include <functional>
#include <memory>

using namespace vexa;

namespace {

// Stands in for the content editors: records what was opened and ends the way the test
// says, writing a content string first when asked (as a real editor does on OK).
class FakeEditorLauncher : public IContentEditorLauncher {
public:
    struct Call {
        ContentEditorKind kind;
        int row;
    };

    CMessageTable* table = nullptr;
    EditorResult next;
    QString contentOnOk;
    QList<Call> calls;

    EditorResult Launch(ContentEditorKind kind, int row, QWidget*) override {
        calls.append({kind, row});
        if (next.accepted && !next.emptyResult && !contentOnOk.isEmpty() && table)
            table->WriteContent(row, contentOnOk);
        return next;
    }
};

} // namespace

// The main window driven through its controls; each test has its own data folder.
class TestMainWindow : public QObject, public test::MainWindowRig {
    Q_OBJECT

private:
    FakeEditorLauncher* editors = nullptr;
    QList<SerialPortList::Port> ports;

    void Open(const QString& model, int sign = 1, const std::function<void(CVexaApp&)>& prepare = {}) {
        auto launcher = std::make_unique<FakeEditorLauncher>();
        FakeEditorLauncher* opened = launcher.get();
        OpenWindow({.model = model,
                    .sign = sign,
                    .prepare = prepare,
                    .editors = std::move(launcher),
                    .listPorts = [this] { return ports; }}); // never the machine's real ports
        if (!window)
            return;
        editors = opened;
        editors->table = &app->messageTable;
    }

    template <typename W> W* Get(int id) { return test::Get<W>(window.get(), id); }

    CMessageTable FileOnDisk(int sign = 1) {
        CMessageTable t;
        t.OpenMessageFile(app->Paths().WorkFilePath(sign));
        return t;
    }

    void ChooseModel(const QString& name) {
        auto* list = Get<QComboBox>(CVexaDlg::ModelList);
        const int index = list->findText(name);
        QVERIFY(index >= 0);
        list->setCurrentIndex(index);
        emit list->activated(index);
    }

    void ChooseMenuItem(int buttonId, int item) {
        QVERIFY2(test::ChooseMenuItem(window.get(), buttonId, item), "menu item not found");
    }

    // Answers the next message box with button and keeps its text in *text.
    static void AnswerNextBox(QMessageBox::StandardButton button, QString* text) {
        QTimer::singleShot(0, [button, text] {
            auto* box = test::WaitForModal<QMessageBox>();
            QVERIFY(box);
            *text = box->text();
            box->button(button)->click();
        });
    }

    // A simulated sign line on a pseudo-terminal; the window's COM box is set to it.
    std::unique_ptr<QProcess> StartSim(const QStringList& arguments) {
        auto sim = std::make_unique<QProcess>();
        sim->start(QStringLiteral(VEXA_BIN_DIR "/vexa-sim"),
                   arguments + QStringList{QStringLiteral("--json")});
        if (!sim->waitForStarted(5000) || !sim->waitForReadyRead(5000))
            return nullptr;
        simDevice =
            QJsonDocument::fromJson(sim->readLine()).object().value(QStringLiteral("device")).toString();
        return sim;
    }
    QString simDevice;

    void TypePort(const QString& device) {
        auto* com = Get<QComboBox>(CVexaDlg::ComList);
        com->setEditText(device);
        emit com->lineEdit()->editingFinished();
    }

    bool RowShown(int row) {
        return !window->Control(MessageRowControls::PreviewId + row)->isHidden() &&
               !window->Control(MessageRowControls::SendId + row)->isHidden() &&
               !window->Control(MessageRowControls::SpeedId + row)->isHidden();
    }

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void cleanup() {
        ports.clear();
        CloseWindow();
    }

    void startsWithTitleIdsAndStatus() {
        OPEN(QStringLiteral("P29"));
        QCOMPARE(window->windowTitle(), QStringLiteral("Vexa\u00A0Message\u00A0Editor\u00A0v1.0"));
        QCOMPARE(window->property("templateId").toInt(), 102);
        for (int id : {1017,  1054, 1094, 1095, 1100, 20020, 20021, 1110, 1098, 1065, 1096, 1097,
                       59393, 1001, 1004, 1050, 1079, 1080,  1081,  1082, 1083, 1084, 1085, 1093})
            QVERIFY2(window->Control(id), qPrintable(QString::number(id)));
        for (int row = 0; row < 10; ++row) {
            for (int base : {20060, 20070, 20080, 20000, 20010, 20040, 20170, 20030, 20050})
                QVERIFY(window->Control(base + row));
        }
        QVERIFY(window->Control(20050)->isHidden());
        QVERIFY(window->Control(1084)->isHidden());
        QCOMPARE(window->StatusPanes()->PaneText(0), QStringLiteral("Model:P29"));
        QCOMPARE(window->StatusPanes()->PaneText(1), QStringLiteral("COM:AUTO"));
        auto* models = Get<QComboBox>(CVexaDlg::ModelList);
        QCOMPARE(models->count(), 36);
        QCOMPARE(models->itemText(2), QStringLiteral("P05"));
        QCOMPARE(models->currentText(), QStringLiteral("P29"));
        for (int command : {57600, 57601, 57603, 32786, 32832, 32836, 32837, 32839, 32849, 32843, 32844,
                            32842, 32864, 32847, 32848, 32870, 32871, 32872, 32873})
            QVERIFY2(window->Command(command), qPrintable(QString::number(command)));
    }

    void templateRowsAreShown() {
        OPEN(QStringLiteral("P01"));
        for (int row = 0; row < 8; ++row) {
            QCOMPARE(Get<QPushButton>(20070 + row)->text(), QStringLiteral("Text"));
            QCOMPARE(Get<QComboBox>(20000 + row)->currentText(), QString::number(row + 1));
            QCOMPARE(Get<QComboBox>(20010 + row)->currentText(), QStringLiteral("0s"));
            QVERIFY(!Get<QAbstractButton>(20030 + row)->isChecked());
        }
        QCOMPARE(Get<QPushButton>(20080 + 7)->text(), QStringLiteral("Middle"));
    }

    void modelChangesRowsClockAndGroupSend_data() {
        QTest::addColumn<QString>("model");
        QTest::addColumn<bool>("row9");
        QTest::addColumn<bool>("row10");
        QTest::addColumn<bool>("checkTime");
        QTest::addColumn<bool>("groupSend");
        QTest::newRow("P29") << "P29" << true << true << true << false;
        QTest::newRow("P01") << "P01" << false << false << false << false;
        QTest::newRow("P04") << "P04" << true << false << true << false;
        QTest::newRow("P26") << "P26" << true << true << true << true;
        QTest::newRow("P13") << "P13" << false << false << false << false;
    }
    void modelChangesRowsClockAndGroupSend() {
        QFETCH(QString, model);
        QFETCH(bool, row9);
        QFETCH(bool, row10);
        QFETCH(bool, checkTime);
        QFETCH(bool, groupSend);
        OPEN(QStringLiteral("P19"));
        ChooseModel(model);
        QCOMPARE(app->settingsFile.LedType(), model);
        QCOMPARE(RowShown(7), true);
        QCOMPARE(RowShown(8), row9);
        QCOMPARE(RowShown(9), row10);
        QCOMPARE(!window->Control(CVexaDlg::CheckTimeButton)->isHidden(), checkTime);
        QCOMPARE(window->Command(CVexaDlg::GroupSend)->isEnabled(), groupSend);
        QCOMPARE(window->StatusPanes()->PaneText(0), QStringLiteral("Model:") + model);
        const DisplayModel* m = ModelCatalogue::Find(model);
        QVERIFY(m);
        const int rows = m->rows;
        QCOMPARE(window->Preview(0)->Image().rows, rows);
        // Content menu by clock, effect menu by the model's effect list.
        QCOMPARE(Get<QPushButton>(20079)->menu()->actions().size(), m->hasClock ? 3 : 2);
        QCOMPARE(Get<QPushButton>(20089)->menu()->actions().size(),
                 ModelCatalogue::EffectNames(m->effectListSet).size());
        QCOMPARE(window->Preview(9)->Image().exportHeight, rows == 7 ? 12 : 0);
    }

    // The LED colour of single-colour signs is chosen in the Setting menu, stored in
    // System.set and shown by the previews at once; two-colour models have no choice.
    void signColourMenuStoresAndShowsTheChoice() {
        OPEN(QStringLiteral("P13"));
        auto* menu = window->findChild<SignColourMenu*>();
        QVERIFY(menu);
        QVERIFY(menu->menuAction()->isEnabled());
        QVERIFY(menu->ItemOf(LedColour::Red)->isChecked());
        QCOMPARE(window->Preview(0)->Image().signKind, std::optional(PackKind::OneBit));
        menu->ItemOf(LedColour::Amber)->trigger();
        QCOMPARE(app->settingsFile.SignColour(), LedColour::Amber);
        QCOMPARE(window->Preview(0)->Image().ledColour, LedColour::Amber);
        QVERIFY(menu->ItemOf(LedColour::Amber)->isChecked());
        ChooseModel(QStringLiteral("P30"));
        QVERIFY(!menu->menuAction()->isEnabled());
    }

    void modelChangeKeepsOrResetsTheFile() {
        OPEN(QStringLiteral("P13"));
        app->messageTable.WriteContent(0, QStringLiteral("[ASCII]KEEP ME"));
        ChooseMenuItem(20080, 20093); // effect 3, "Down"
        QCOMPARE(FileOnDisk().effect[0], 3);

        ChooseModel(QStringLiteral("P24")); // same group
        QCOMPARE(app->messageTable.ReadContent(0), QStringLiteral("[ASCII]KEEP ME"));
        QCOMPARE(FileOnDisk().effect[0], 3);

        QString question;
        AnswerNextBox(QMessageBox::Yes, &question); // the sign's messages would go: asked first
        ChooseModel(QStringLiteral("P29"));         // another group: template 242
        QVERIFY(question.contains(QStringLiteral("Replace them?")));
        QCOMPARE(app->messageTable.ReadContent(0), QString());
        QFile file(app->Paths().WorkFilePath(1));
        QFile templ(QStringLiteral(":/FILES/242"));
        QVERIFY(file.open(QIODevice::ReadOnly) && templ.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), templ.readAll());
        QCOMPARE(Get<QPushButton>(20080)->text(), QStringLiteral("Fix")); // list B, index 0
    }

    void modelChangeAnsweredNoKeepsEverything() {
        OPEN(QStringLiteral("P13"));
        app->messageTable.WriteContent(0, QStringLiteral("[ASCII]KEEP ME"));
        QFile file(app->Paths().WorkFilePath(1));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray before = file.readAll();
        file.close();
        QString question;
        AnswerNextBox(QMessageBox::No, &question);
        ChooseModel(QStringLiteral("P29"));
        QVERIFY(!question.isEmpty());
        QCOMPARE(app->settingsFile.LedType(), QStringLiteral("P13"));
        QCOMPARE(Get<QComboBox>(CVexaDlg::ModelList)->currentText(), QStringLiteral("P13"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), before);
    }

    void unknownStoredModelStartsWithEngineValues() {
        OPEN(QStringLiteral("P3")); // no model has this name; the prefix search finds P30
        QCOMPARE(Get<QComboBox>(CVexaDlg::ModelList)->currentText(), QStringLiteral("P30"));
        QCOMPARE(window->StatusPanes()->PaneText(0), QStringLiteral("Model:P3"));
        QCOMPARE(window->Preview(0)->Image().rows, 12);
        QVERIFY(RowShown(7));
        QVERIFY(!RowShown(8));
        // Choosing the entry the list shows applies it.
        ChooseModel(QStringLiteral("P30"));
        QCOMPARE(app->settingsFile.LedType(), QStringLiteral("P30"));
        QCOMPARE(window->Preview(0)->Image().rows, 16);
        QVERIFY(RowShown(9));
    }

    void firstStartSelectsNoModel() {
        OPEN(QString());
        QCOMPARE(Get<QComboBox>(CVexaDlg::ModelList)->currentIndex(), -1);
        QCOMPARE(window->StatusPanes()->PaneText(0), QStringLiteral("Model:"));
        test::BoxAnswerer answers;
        window->Command(CVexaDlg::SendCommand)->trigger();
        QTRY_COMPARE(answers.texts, QStringList{QStringLiteral("Please choose the display model first.")});
        QVERIFY(window->Idle());
    }

    void hiddenRowsKeepTheirMessages() {
        OPEN(QStringLiteral("P04"));
        app->messageTable.WriteContent(8, QStringLiteral("[ASCII]NINTH"));
        ChooseMenuItem(20088, 20093);       // effect 3 on row 9
        ChooseModel(QStringLiteral("P01")); // same group, eight rows
        QVERIFY(!RowShown(8));
        ChooseModel(QStringLiteral("P04"));
        QVERIFY(RowShown(8));
        QCOMPARE(app->messageTable.ReadContent(8), QStringLiteral("[ASCII]NINTH"));
        QCOMPARE(FileOnDisk().effect[8], 3);
        QCOMPARE(Get<QPushButton>(20088)->text(), QStringLiteral("Down"));
    }

    void selectingTheStoredModelChangesNothing() {
        OPEN(QStringLiteral("P04"));
        app->messageTable.speed[2] = 7; // in memory only: a reload would lose it
        ChooseModel(QStringLiteral("P04"));
        QCOMPARE(app->messageTable.speed[2], 7);
    }

    void rowControlsWriteTheFileAtOnce() {
        OPEN(QStringLiteral("P01"));
        auto* speed = Get<QComboBox>(20003);
        speed->setCurrentIndex(6);
        emit speed->activated(6);
        QCOMPARE(FileOnDisk().speed[3], 6);

        auto* time = Get<QComboBox>(20012);
        time->setCurrentIndex(4);
        emit time->activated(4);
        QCOMPARE(FileOnDisk().holdTime[2], 4);

        ChooseMenuItem(20085, 20096); // effect 6 "Snow"
        QCOMPARE(FileOnDisk().effect[5], 6);
        QCOMPARE(Get<QPushButton>(20085)->text(), QStringLiteral("Snow"));

        QTest::mouseClick(Get<QAbstractButton>(20041), Qt::LeftButton);
        QCOMPARE(FileOnDisk().marquee[1], 1);
        QTest::mouseClick(Get<QAbstractButton>(20170), Qt::LeftButton);
        QCOMPARE(FileOnDisk().blink[0], 1);
        QTest::mouseClick(Get<QAbstractButton>(20037), Qt::LeftButton);
        QCOMPARE(FileOnDisk().sendFlag[7], 1);
        QTest::mouseClick(Get<QAbstractButton>(20037), Qt::LeftButton);
        QCOMPARE(FileOnDisk().sendFlag[7], 0);
    }

    void blinkAndTimeEnabling() {
        OPEN(QStringLiteral("P29"));
        for (int row = 0; row < 10; ++row)
            QVERIFY(!window->Control(20170 + row)->isEnabled());
        QVERIFY(window->Control(20010)->isEnabled());

        ChooseModel(QStringLiteral("P13"));
        QVERIFY(window->Control(20170)->isEnabled());
        QVERIFY(!window->Control(20010)->isEnabled());
        QVERIFY(window->Control(20000)->isEnabled());

        ChooseModel(QStringLiteral("P19"));
        QVERIFY(window->Control(20010)->isEnabled());
    }

    void emptyRowDisablesItsControls() {
        OPEN(QStringLiteral("P01"));
        editors->next = {true, true};
        QTest::mouseDClick(window->Preview(2), Qt::LeftButton);
        for (int id : {20032, 20042, 20082, 20002, 20012})
            QVERIFY2(!window->Control(id)->isEnabled(), qPrintable(QString::number(id)));
        QVERIFY(window->Control(20172)->isEnabled()); // blink follows the model only
    }

    void pageAlignmentFollowsTimeAndEffect() {
        OPEN(QStringLiteral("P29"));
        ChooseMenuItem(20081, 20091); // effect 1
        QCOMPARE(window->Preview(1)->Image().PageAlign(), 0);
        auto* time = Get<QComboBox>(20011);
        time->setCurrentIndex(1);
        emit time->activated(1);
        QCOMPARE(window->Preview(1)->Image().PageAlign(), 1);
        time->setCurrentIndex(0);
        emit time->activated(0);
        QCOMPARE(window->Preview(1)->Image().PageAlign(), 0);
        ChooseMenuItem(20081, 20093); // effect 3
        QCOMPARE(window->Preview(1)->Image().PageAlign(), 1);
    }

    void pageAlignmentOnPagedTwelveRowModels() {
        OPEN(QStringLiteral("P13"));
        // Template rows 0 and 1 have effects 0 and 1 with 0s: no page alignment; row 2 has it.
        QCOMPARE(window->Preview(0)->Image().PageAlign(), 0);
        QCOMPARE(window->Preview(1)->Image().PageAlign(), 0);
        QCOMPARE(window->Preview(2)->Image().PageAlign(), 1);
        QCOMPARE(window->Preview(0)->Image().pageWidth, 33);
        QCOMPARE(window->Preview(0)->Image().pagePitch, 40);
    }

    void menuEditConfirmedEmptyGivesASentTextRow() {
        OPEN(QStringLiteral("P29"));
        app->messageTable.WriteContent(4, QStringLiteral("[ASCII]OLD"));
        editors->next = {true, true};
        ChooseMenuItem(20074, 20093); // Date
        QCOMPARE(editors->calls.size(), 1);
        QCOMPARE(editors->calls[0].kind, ContentEditorKind::Date);
        QCOMPARE(editors->calls[0].row, 4);
        const CMessageTable disk = FileOnDisk();
        QCOMPARE(disk.kind[4], 1);
        QCOMPARE(disk.sendFlag[4], 1);
        QCOMPARE(app->messageTable.ReadContent(4), QString());
        QCOMPARE(Get<QPushButton>(20074)->text(), QStringLiteral("Text"));
        QVERIFY(Get<QAbstractButton>(20034)->isChecked());
    }

    void menuEditAcceptedSetsTheChosenKind() {
        OPEN(QStringLiteral("P29"));
        editors->next = {true, false};
        editors->contentOnOk = QStringLiteral("[DATE_111000]");
        ChooseMenuItem(20073, 20093);
        QCOMPARE(FileOnDisk().kind[3], 3);
        QCOMPARE(FileOnDisk().sendFlag[3], 1);
        QCOMPARE(Get<QPushButton>(20073)->text(), QStringLiteral("Date"));
        QCOMPARE(window->Preview(3)->Image().Content(), QStringLiteral("[DATE_111000]"));
    }

    void cancelledEditLeavesTheRow() {
        OPEN(QStringLiteral("P29"));
        app->messageTable.WriteContent(1, QStringLiteral("[ASCII]STAY"));
        editors->next = {false, false};
        ChooseMenuItem(20071, 20092); // Image, cancelled
        QCOMPARE(editors->calls[0].kind, ContentEditorKind::Image);
        QCOMPARE(FileOnDisk().kind[1], 1);
        QCOMPARE(app->messageTable.ReadContent(1), QStringLiteral("[ASCII]STAY"));
        QCOMPARE(Get<QPushButton>(20071)->text(), QStringLiteral("Text"));
    }

    void doubleClickConfirmedEmptyGivesAnEmptyRow() {
        OPEN(QStringLiteral("P29"));
        app->messageTable.WriteContent(6, QStringLiteral("[ASCII]GONE"));
        editors->next = {true, true};
        QTest::mouseDClick(window->Preview(6), Qt::LeftButton);
        QCOMPARE(editors->calls.size(), 1);
        QCOMPARE(editors->calls[0].kind, ContentEditorKind::Text);
        QCOMPARE(app->messageTable.kind[6], 0);
        // The row change is on disk at once, not only at the next save.
        const CMessageTable disk = FileOnDisk();
        QCOMPARE(disk.kind[6], 0);
        QCOMPARE(disk.sendFlag[6], 0);
        QCOMPARE(app->messageTable.ReadContent(6), QString());
        QCOMPARE(Get<QPushButton>(20076)->text(), QString());
        QVERIFY(!Get<QAbstractButton>(20036)->isChecked());
        QVERIFY(!window->Control(20036)->isEnabled());

        // An empty row opens no editor.
        QTest::mouseDClick(window->Preview(6), Qt::LeftButton);
        QCOMPARE(editors->calls.size(), 1);
    }

    void doubleClickOpensTheEditorOfTheModel() {
        OPEN(QStringLiteral("P06"));
        editors->next = {true, false};
        QTest::mouseDClick(window->Preview(0), Qt::LeftButton);
        QCOMPARE(editors->calls.size(), 1);
        QCOMPARE(editors->calls[0].kind, ContentEditorKind::BitmapFontText);
        QCOMPARE(FileOnDisk().sendFlag[0], 1);
        QVERIFY(Get<QAbstractButton>(20030)->isChecked());
    }

    void dateRowOnModelWithoutClock() {
        OPEN(QStringLiteral("P04"));
        editors->next = {true, false};
        ChooseMenuItem(20072, 20093);
        ChooseModel(QStringLiteral("P01")); // same group: the date row stays
        QCOMPARE(app->messageTable.kind[2], 3);
        QCOMPARE(Get<QPushButton>(20072)->text(), QString());
        QTest::mouseDClick(window->Preview(2), Qt::LeftButton);
        QCOMPARE(editors->calls.last().kind, ContentEditorKind::Date);
    }

    void escapeClosesAndSavesEnterDoesNot() {
        OPEN(QStringLiteral("P01"));
        app->messageTable.speed[5] = 0; // in memory only
        QTest::keyClick(window.get(), Qt::Key_Return);
        QVERIFY(window->isVisible());
        QCOMPARE(FileOnDisk().speed[5], 5);
        QTest::keyClick(window.get(), Qt::Key_Escape);
        QVERIFY(!window->isVisible());
        QCOMPARE(FileOnDisk().speed[5], 0);
    }

    void exitAsksFirst() {
        OPEN(QStringLiteral("P01"));
        app->messageTable.marquee[0] = 1; // in memory only
        const auto answer = [](QMessageBox::StandardButton button) {
            QTimer::singleShot(0, [button] {
                auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
                QVERIFY(box);
                QCOMPARE(box->text(), QStringLiteral("Exit？"));
                QCOMPARE(box->windowTitle(),
                         QStringLiteral("Vexa Message Editor")); // not the executable's name
                box->button(button)->click();
            });
        };
        answer(QMessageBox::No);
        window->Command(CVexaDlg::FileExit)->trigger();
        QVERIFY(window->isVisible());
        QCOMPARE(FileOnDisk().marquee[0], 0);
        answer(QMessageBox::Yes);
        window->Command(CVexaDlg::FileExit)->trigger();
        QVERIFY(!window->isVisible());
        QCOMPARE(FileOnDisk().marquee[0], 1);
    }

    void signTreeShowsGroupZeroAndSelectsSigns() {
        OPEN(QStringLiteral("P29"), 3, [](CVexaApp& context) {
            context.idList.Clear();
            context.idList.entries[3] = {QStringLiteral("Three"), 1, 1, 0};
            context.idList.entries[8] = {QStringLiteral("Eight"), 1, 0, 0};
            context.idList.entries[9] = {QStringLiteral("Other group"), 2, 1, 0};
            QVERIFY(context.idList.SaveIdList());
        });
        auto* tree = Get<QTreeWidget>(CVexaDlg::SignTree);
        QTreeWidgetItem* root = tree->topLevelItem(0);
        QVERIFY(root);
        QCOMPARE(root->text(0), QStringLiteral("LEDS"));
        QCOMPARE(root->childCount(), 2);
        QTreeWidgetItem* three = root->child(0);
        QTreeWidgetItem* eight = root->child(1);
        QVERIFY(three && eight);
        QCOMPARE(three->text(0), QStringLiteral("3.Three"));
        QCOMPARE(three->checkState(0), Qt::Checked);
        QCOMPARE(eight->checkState(0), Qt::Unchecked);

        auto* speed = Get<QComboBox>(20000);
        speed->setCurrentIndex(5);
        emit speed->activated(5);
        tree->setCurrentItem(eight);
        QCOMPARE(app->settingsFile.NowSelID(), 8);
        QCOMPARE(app->messageTable.MessageFilePath(), app->Paths().WorkFilePath(8));
        QCOMPARE(speed->currentIndex(), 0); // template row 0 of the new sign
        QCOMPARE(FileOnDisk(3).speed[0], 5);
    }

    void endOfTransferShowsOkAndReEnables() {
        OPEN(QStringLiteral("P29"));
        test::BoxAnswerer answers;
        emit app->signLink.linkMessage(1124, 40, 0);
        QCOMPARE(window->StatusPanes()->PaneText(2), QString());
        Get<QAbstractButton>(CVexaDlg::Check485)->click(); // frames addressed to the sign
        emit app->signLink.linkMessage(1124, 100, 1);
        QCOMPARE(window->StatusPanes()->PaneText(2), QStringLiteral("OK!"));
        QCOMPARE(window->StatusPanes()->PaneText(3), QStringLiteral("100%"));
        QVERIFY(window->Idle());
        QVERIFY(window->Command(CVexaDlg::SendCommand)->isEnabled());
        QTRY_COMPARE_WITH_TIMEOUT(window->StatusPanes()->PaneText(3), QString(), 3000);
        QCOMPARE(window->StatusPanes()->PaneText(2), QStringLiteral("OK!")); // until the next operation
        QVERIFY(answers.texts.isEmpty());
        emit app->signLink.linkMessage(1124, 100, 1 | (3 << 16));
        QTRY_COMPARE(answers.texts, QStringList{QStringLiteral("Send Failure!")});
        QCOMPARE(window->StatusPanes()->PaneText(2), QStringLiteral("Send Failure!")); // never "OK!"
    }

    void sendWithoutPortReportsTheOpenFailure() {
        OPEN(QStringLiteral("P29"));
        const QString device = dir->filePath(QStringLiteral("ttyNone"));
        TypePort(device);
        test::BoxAnswerer answers;
        QTest::mouseClick(Get<QPushButton>(CVexaDlg::SendButton), Qt::LeftButton);
        QVERIFY(!window->Idle());
        // Nothing else that touches the port or the sign list works meanwhile.
        for (int id : {CVexaDlg::CheckTimeButton, CVexaDlg::AddButton, CVexaDlg::ModifyButton,
                       CVexaDlg::DelButton, CVexaDlg::ComList})
            QVERIFY2(!window->Control(id)->isEnabled(), qPrintable(QString::number(id)));
        for (int command : {CVexaDlg::IdModify, CVexaDlg::SynchronizeTime, CVexaDlg::GroupSend})
            QVERIFY(!window->Command(command)->isEnabled());
        QVERIFY(!window->Control(CVexaDlg::SendButton)->isEnabled());
        QVERIFY(!window->Command(CVexaDlg::SendCommand)->isEnabled());
        // The engine reads the rows while it sends: they cannot change meanwhile.
        QVERIFY(!window->Control(20000)->isEnabled());
        QVERIFY(!window->Control(CVexaDlg::ModelList)->isEnabled());
        QVERIFY(!window->Control(CVexaDlg::SignTree)->isEnabled());
        QTRY_COMPARE_WITH_TIMEOUT(answers.texts, QStringList{QStringLiteral("Open COM Port Failure!")},
                                  10000);
        QVERIFY(window->Idle());
        // The box keeps its text; the status bar and Debug.Log name the device and the reason.
        const QString why =
            QStringLiteral("Open COM Port Failure! ") + device + QStringLiteral(": No such file");
        QVERIFY2(window->StatusPanes()->PaneText(2).startsWith(why),
                 qPrintable(window->StatusPanes()->PaneText(2)));
        QFile log(app->signLink.DebugLogPath());
        QVERIFY(log.open(QIODevice::ReadOnly));
        QVERIFY(QString::fromUtf8(log.readAll()).contains(why));
        QVERIFY(window->Control(CVexaDlg::AddButton)->isEnabled());
        QVERIFY(window->Control(20000)->isEnabled());
        QVERIFY(window->Control(CVexaDlg::ModelList)->isEnabled());
        QTRY_VERIFY_WITH_TIMEOUT(window->Control(CVexaDlg::SendButton)->isEnabled(), 3000);
    }

    void multiSignSendWalksTheTickedSignsAndComesBack() {
        OPEN(QStringLiteral("P29"), 5, [](CVexaApp& context) {
            context.idList.Clear();
            context.idList.entries[3] = {QStringLiteral("A"), 1, 1, 0};
            context.idList.entries[5] = {QStringLiteral("Selected"), 1, 0, 0};
            context.idList.entries[9] = {QStringLiteral("B"), 1, 1, 0};
            QVERIFY(context.idList.SaveIdList());
            QVERIFY(context.settingsFile.SetMode485(1));
            for (int id : {3, 9}) // a sign without a work file would be passed over
                QVERIFY(WorkFiles::WriteTemplate(242, context.Paths().WorkFilePath(id)));
        });
        test::BoxAnswerer answers;
        QStringList waitTexts;
        QList<int> sentIds;
        // Runs after the window's own handler of each message.
        connect(&app->signLink, &SignLink::linkMessage, this, [&](int message) {
            if (message != SignLink::SendEndedMessage)
                return;
            sentIds << app->signLink.currentId.load();
            if (CWaitDlg* open = window->WaitDialog(); open != nullptr && !open->isHidden())
                waitTexts << open->Text();
        });
        QTest::mouseClick(Get<QPushButton>(CVexaDlg::SendButton), Qt::LeftButton);
        CWaitDlg* wait = window->WaitDialog();
        QVERIFY(wait);
        waitTexts << wait->Text();
        QCOMPARE(app->messageTable.MessageFilePath(), app->Paths().WorkFilePath(3));
        QTRY_VERIFY_WITH_TIMEOUT(!window->WaitDialog(), 20000);
        QCOMPARE(sentIds, QList<int>({9, 5})); // after sign 3 comes 9, after 9 the selected sign again
        QCOMPARE(waitTexts, QStringList({QStringLiteral("Setting ID：3，Total:2，Last:2"),
                                         QStringLiteral("Setting ID：9，Total:2，Last:1")}));
        QCOMPARE(app->messageTable.MessageFilePath(), app->Paths().WorkFilePath(5));
        QCOMPARE(app->signLink.currentId.load(), 5);
        QCOMPARE(answers.texts.count(QStringLiteral("Open COM Port Failure!")), 2);
        QVERIFY(QFile::exists(app->Paths().WorkFilePath(9)));
        // Besides the boxes, the result of every sign stays in the status bar.
        QCOMPARE(window->StatusPanes()->PaneText(2),
                 QStringLiteral("Failed: 3 (Open COM Port Failure!), 9 (Open COM Port Failure!)."));
    }

    void multiSignSendWithNothingTicked() {
        OPEN(QStringLiteral("P26"), 1,
             [](CVexaApp& context) { QVERIFY(context.settingsFile.SetMode485(1)); });
        QVERIFY(Get<QAbstractButton>(CVexaDlg::Check485)->isChecked());
        test::BoxAnswerer answers;
        window->Command(CVexaDlg::SendCommand)->trigger();
        QTRY_COMPARE(answers.texts, QStringList{QStringLiteral("No ID selected?")});
        QVERIFY(window->Idle());
        QVERIFY(!window->WaitDialog());
    }

    void scanNeedsAPortAndAModel() {
        OPEN(QStringLiteral("P26"));
        test::BoxAnswerer answers;
        QTest::mouseClick(Get<QPushButton>(CVexaDlg::ScanButton), Qt::LeftButton);
        QTRY_COMPARE(answers.texts, QStringList{QStringLiteral("please select a COM Port !")});
        QVERIFY(window->Idle());
        answers.texts.clear();
        app->settingsFile.SetLedType(QString());
        TypePort(dir->filePath(QStringLiteral("ttyNone")));
        QTest::mouseClick(Get<QPushButton>(CVexaDlg::ScanButton), Qt::LeftButton);
        QTRY_COMPARE(answers.texts, QStringList{QStringLiteral("Please choose the display model first.")});
        QVERIFY(window->Idle());
    }

    // Untick sign 1, scan: the ticks stay what a send addresses, the answers are marks.
    void scanMarksAnswersBesideTheTicks() {
        auto sim = StartSim({QStringLiteral("--model"), QStringLiteral("P27"), QStringLiteral("--ids"),
                             QStringLiteral("3,7")});
        if (!sim)
            QSKIP("vexa-sim is not built");
        OPEN(QStringLiteral("P27"), 1, [](CVexaApp& context) {
            context.idList.Clear();
            context.idList.entries[1] = {QStringLiteral("One"), 1, 0, 0};
            context.idList.entries[3] = {QStringLiteral("Three"), 1, 1, 0};
            QVERIFY(context.idList.SaveIdList());
        });
        TypePort(simDevice);
        test::BoxAnswerer answers;
        QTest::mouseClick(Get<QPushButton>(CVexaDlg::ScanButton), Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(window->ScanSummary()->text(), QStringLiteral("2 signs answered: 3, 7"),
                                  90000);
        QTreeWidgetItem* root = Get<QTreeWidget>(CVexaDlg::SignTree)->topLevelItem(0);
        QCOMPARE(root->childCount(), 3); // 7 answered from no group: it joins group 0, ticked
        QCOMPARE(root->child(0)->checkState(0), Qt::Unchecked);
        QCOMPARE(root->child(0)->toolTip(0), QStringLiteral("no answer to the scan"));
        QCOMPARE(root->child(1)->checkState(0), Qt::Checked);
        QCOMPARE(root->child(1)->toolTip(0), QStringLiteral("answered the scan"));
        QCOMPARE(root->child(2)->text(0), QStringLiteral("7."));
        QCOMPARE(root->child(2)->checkState(0), Qt::Checked);
        QCOMPARE(app->idList.TickedIds(), QList<int>({3, 7}));
        QVERIFY(answers.texts.isEmpty());
        TypePort(dir->filePath(QStringLiteral("ttyOther"))); // another line: the marks go
        QVERIFY(!window->LastScan().HasScan());
        QVERIFY(window->ScanSummary()->isHidden());
        root = Get<QTreeWidget>(CVexaDlg::SignTree)->topLevelItem(0); // the tree was filled anew
        QCOMPARE(root->child(1)->toolTip(0), QString());
    }

    // The three outcomes of Synchronize Time: acknowledged, sent unanswered, not sent.
    void clockTellsWhatTheSignSaid() {
        OPEN(QStringLiteral("P27"));
        const auto clock = [this](const QString& device) {
            TypePort(device);
            test::BoxAnswerer answers;
            QTest::mouseClick(Get<QPushButton>(CVexaDlg::CheckTimeButton), Qt::LeftButton);
            static_cast<void>(QTest::qWaitFor(
                [&answers] {
                    return answers.texts.contains(QStringLiteral("Check Time Ok !")) ||
                           answers.texts.contains(QStringLiteral("Check time error !")) ||
                           answers.texts.join(QString()).contains(QStringLiteral("confirm"));
                },
                5000));
            return answers.texts.join(QLatin1Char('|'));
        };
        {
            auto sim = StartSim({QStringLiteral("--model"), QStringLiteral("P27")});
            if (!sim)
                QSKIP("vexa-sim is not built");
            QCOMPARE(clock(simDevice), QStringLiteral("Check Time Ok !"));
        }
        {
            auto silent =
                StartSim({QStringLiteral("--model"), QStringLiteral("P27"), QStringLiteral("--silent")});
            QVERIFY(silent);
            QCOMPARE(clock(simDevice),
                     QStringLiteral("The clock was sent, but the sign did not confirm it."));
        }
        const QString none = clock(dir->filePath(QStringLiteral("ttyNone")));
        QVERIFY2(none.endsWith(QStringLiteral("|Check time error !")), qPrintable(none));
        QVERIFY(window->StatusPanes()->PaneText(2).startsWith(QStringLiteral("Open COM Port Failure! ")));
    }

    // A typed port counts on Enter or when the box loses the focus, not per keystroke.
    void typedPortTakesEffectOnEnter() {
        OPEN(QStringLiteral("P26"));
        auto* com = Get<QComboBox>(CVexaDlg::ComList);
        com->setFocus();
        QTest::keyClicks(com->lineEdit(), QStringLiteral("/dev/pts/77"));
        QCOMPARE(window->StatusPanes()->PaneText(1), QStringLiteral("COM:AUTO"));
        QVERIFY(!app->signLink.Port()->PortName().contains(QStringLiteral("pts")));
        QTest::keyClick(com->lineEdit(), Qt::Key_Return);
        QCOMPARE(window->StatusPanes()->PaneText(1), QStringLiteral("COM:pts/77"));
        QCOMPARE(app->signLink.Port()->PortName(), QStringLiteral("/dev/pts/77"));
    }

    void tickingTheRootTicksEverySignAndSavesLater() {
        OPEN(QStringLiteral("P29"), 3, [](CVexaApp& context) {
            context.idList.Clear();
            context.idList.entries[3] = {QStringLiteral("Three"), 1, 1, 0};
            context.idList.entries[8] = {QStringLiteral("Eight"), 1, 1, 0};
            context.idList.entries[20] = {QStringLiteral("Hidden"), 2, 1, 0};
            context.idList.groupCheck = 1;
            QVERIFY(context.idList.SaveIdList());
        });
        auto* tree = Get<QTreeWidget>(CVexaDlg::SignTree);
        QTreeWidgetItem* root = tree->topLevelItem(0);
        QVERIFY(root && root->childCount() == 2);
        root->setCheckState(0, Qt::Unchecked); // what a click on the root's box does
        for (int i = 0; i < root->childCount(); ++i) {
            QTreeWidgetItem* child = root->child(i);
            QVERIFY(child);
            QCOMPARE(child->checkState(0), Qt::Unchecked);
        }
        QCOMPARE(app->idList.entries[20].checkMask, 0u); // also signs outside the tree
        QCOMPARE(app->idList.groupCheck, 0u);
        CIdList onDisk(app->Paths().IdListPath());
        QVERIFY(onDisk.LoadIdList());
        QCOMPARE(onDisk.entries[8].checkMask, 1u); // saved a second later, not at once
        QTRY_VERIFY_WITH_TIMEOUT(onDisk.LoadIdList() && onDisk.entries[8].checkMask == 0u, 3000);
    }

    void aboutBoxShowsNameAndBuildDate() {
        OPEN(QStringLiteral("P29"));
        QString caption, texts;
        int templateId = 0;
        QTimer::singleShot(0, [&] {
            auto* about = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            QVERIFY(about);
            caption = about->windowTitle();
            templateId = about->property("templateId").toInt();
            for (QLabel* label : about->findChildren<QLabel*>())
                texts += label->text() + QLatin1Char('\n');
            about->accept();
        });
        window->Command(CVexaDlg::HelpAbout)->trigger();
        QCOMPARE(caption, QStringLiteral("Vexa Message Editor"));
        QCOMPARE(templateId, 100);
        QVERIFY(texts.contains(QStringLiteral("Vexa\u00A0Message\u00A0Editor\u00A0v1.0\n")));
        QVERIFY(texts.contains(QRegularExpression(QStringLiteral("Built \\d{4}-\\d{2}-\\d{2}"))));
    }

    void portListChoosesTheFirstPortAndShowsIt() {
        ports = {{QStringLiteral("ttyUSB0"), QStringLiteral("Adapter A"), QStringLiteral("/dev/ttyUSB0")},
                 {QStringLiteral("ttyUSB3"), QStringLiteral("Adapter B"), QStringLiteral("/dev/ttyUSB3")}};
        OPEN(QStringLiteral("P29"));
        auto* com = Get<QComboBox>(CVexaDlg::ComList);
        QCOMPARE(com->count(), 2);
        QCOMPARE(com->currentText(), QStringLiteral("ttyUSB0"));
        QCOMPARE(com->itemData(1, Qt::ToolTipRole).toString(), QStringLiteral("Adapter B"));
        QCOMPARE(window->StatusPanes()->PaneText(1), QStringLiteral("COM:ttyUSB0"));
        com->setCurrentIndex(1);
        emit com->activated(1);
        QCOMPARE(window->StatusPanes()->PaneText(1), QStringLiteral("COM:ttyUSB3"));
    }

    void bmpEditorWithoutToolsReportsIt() {
        OPEN(QStringLiteral("P29"));
        test::BoxAnswerer answers;
        QTest::mouseClick(Get<QPushButton>(CVexaDlg::BmpEditorButton), Qt::LeftButton);
        QTRY_COMPARE(answers.texts, QStringList{QStringLiteral("Can't execute image editor program!")});
    }

    void bmpEditorWhoseLauncherFailsReportsIt() {
        OPEN(QStringLiteral("P29"));
        const QString tools = app->Paths().ToolsDir();
        QVERIFY(QDir().mkpath(tools));
        QFile script(tools + QStringLiteral("/imagedit"));
        QVERIFY(script.open(QIODevice::WriteOnly));
        script.write("#!/bin/sh\nexit 1\n"); // what the launcher does when the desktop cannot open the folder
        script.close();
        QVERIFY(script.setPermissions(script.permissions() | QFileDevice::ExeOwner));
        test::BoxAnswerer answers;
        QTest::mouseClick(Get<QPushButton>(CVexaDlg::BmpEditorButton), Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(answers.texts,
                                  QStringList{QStringLiteral("Can't execute image editor program!")}, 5000);
    }

    void bmpEditorStartsToolsImageditWithTheImageFolder() {
        OPEN(QStringLiteral("P29"));
        const QString tools = app->Paths().ToolsDir();
        QVERIFY(QDir().mkpath(tools));
        const QString marker = dir->filePath(QStringLiteral("started"));
        QFile script(tools + QStringLiteral("/imagedit"));
        QVERIFY(script.open(QIODevice::WriteOnly));
        script.write(
            QStringLiteral("#!/bin/sh\nprintf '%s' \"$VEXA_IMAGE_DIR\" > '%1'\n").arg(marker).toUtf8());
        script.close();
        QVERIFY(script.setPermissions(script.permissions() | QFileDevice::ExeOwner));
        test::BoxAnswerer answers;
        QTest::mouseClick(Get<QPushButton>(CVexaDlg::BmpEditorButton), Qt::LeftButton);
        const auto written = [&marker] {
            QFile started(marker);
            return started.open(QIODevice::ReadOnly) ? QString::fromUtf8(started.readAll()) : QString();
        };
        QTRY_COMPARE_WITH_TIMEOUT(written(), app->Paths().ImageDir(), 5000);
        QVERIFY(QDir(app->Paths().ImageDir()).exists());
        QVERIFY(answers.texts.isEmpty());
    }

    void newFileAsksAndRestoresTheTemplate() {
        OPEN(QStringLiteral("P29"));
        app->messageTable.WriteContent(0, QStringLiteral("[ASCII]OLD"));
        ChooseMenuItem(20080, 20094); // effect 4, saved at once
        const auto answer = [](QMessageBox::StandardButton button) {
            QTimer::singleShot(0, [button] {
                auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
                QVERIFY(box);
                QCOMPARE(box->text(), QStringLiteral("New File？"));
                box->button(button)->click();
            });
        };
        answer(QMessageBox::No);
        window->Command(CVexaDlg::FileNew)->trigger();
        QCOMPARE(FileOnDisk().effect[0], 4);
        answer(QMessageBox::Yes);
        window->Command(CVexaDlg::FileNew)->trigger();
        QCOMPARE(FileOnDisk().effect[0], 0);
        QCOMPARE(app->messageTable.ReadContent(0), QString());
        QCOMPARE(Get<QPushButton>(20080)->text(), QStringLiteral("Fix"));
    }

    void languageCommandStoresTheCode() {
        OPEN(QStringLiteral("P29"));
        window->Command(32843)->trigger();
        QCOMPARE(app->settingsFile.Language(), 1);
        QCOMPARE(window->StatusPanes()->PaneText(0), QStringLiteral("设备型号:P29"));
        QVERIFY(window->Command(32843)->isChecked());
        QVERIFY(!window->Command(32842)->isChecked());
        window->Command(32873)->trigger(); // Vietnamese: stored and checked like the others
        QCOMPARE(app->settingsFile.Language(), 10);
        QVERIFY(window->Command(32873)->isChecked());
        QVERIFY(!window->Command(32843)->isChecked());
    }

    // The whole road from the window to a sign: a simulated sign on a pseudo-terminal.
    void sendReachesASimulatedSign() {
        QProcess sim;
        sim.start(QStringLiteral(VEXA_BIN_DIR "/vexa-sim"),
                  {QStringLiteral("--model"), QStringLiteral("P29"), QStringLiteral("--json")});
        if (!sim.waitForStarted(5000))
            QSKIP("vexa-sim is not built");
        QVERIFY(sim.waitForReadyRead(5000));
        const QJsonObject ready = QJsonDocument::fromJson(sim.readLine()).object();
        const QString device = ready.value(QStringLiteral("device")).toString();
        QVERIFY2(!device.isEmpty(), "the simulator named no device");

        OPEN(QStringLiteral("P29"));
        app->messageTable.WriteContent(0,
                                       QStringLiteral("{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}{\\colortbl;"
                                                      "\\red255\\green0\\blue0;}\\f0\\cf1\\fs24 Hi\\par}"));
        app->messageTable.sendFlag[0] = 1;
        app->messageTable.SaveParams();
        window->LoadPreviews();
        auto* com = Get<QComboBox>(CVexaDlg::ComList);
        com->setEditText(device);
        emit com->lineEdit()->editingFinished();

        test::BoxAnswerer answers;
        QTest::mouseClick(Get<QPushButton>(CVexaDlg::SendButton), Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(window->StatusPanes()->PaneText(2),
                                  QStringLiteral("OK! Sent to every sign on the line."), 30000);
        QByteArray events;
        QTRY_VERIFY_WITH_TIMEOUT((events += sim.readAll()).contains("\"event\":\"message\""), 5000);
        QVERIFY(events.contains("\"slot\":0"));
        QVERIFY2(answers.texts.isEmpty(), qPrintable(answers.texts.join(QLatin1Char('|'))));
        sim.terminate();
        sim.waitForFinished(5000);
    }

    void typedPortShowsInTheStatusBar() {
        OPEN(QStringLiteral("P26"));
        auto* com = Get<QComboBox>(CVexaDlg::ComList);
        com->setEditText(QStringLiteral("/dev/ttyUSB1"));
        emit com->lineEdit()->editingFinished();
        QCOMPARE(window->StatusPanes()->PaneText(1), QStringLiteral("COM:ttyUSB1"));
    }

    // A row that will not look as previewed carries a mark, says why in its tooltip and
    // accessible description, and Send asks once first: No sends nothing, Yes sends.
    void rowThatWillNotLookAsPreviewedIsMarkedAndAskedAbout() {
        OpenWindow({.model = QStringLiteral("P04"),
                    .dataDir = QStringLiteral(VEXA_BIN_DIR "/Data"),
                    .listPorts = [this] { return ports; }});
        if (QTest::currentTestFailed())
            return;
        app->messageTable.WriteContent(2, QStringLiteral("[ASCII]Grüße"));
        app->messageTable.kind[2] = CMessageTable::KindText;
        app->messageTable.sendFlag[2] = 1;
        app->messageTable.SaveParams();
        window->LoadPreviews();
        CImageWnd* warned = window->Preview(2);
        const QString reason = QStringLiteral("not sent to the sign: ü (U+00FC), ß (U+00DF)");
        QCOMPARE(warned->accessibleDescription(), reason);
        QCOMPARE(window->Preview(1)->accessibleDescription(), QString());
        // The mark: amber at the top of the warned preview's right half (left of its play
        // button) only.
        const auto amberInCorner = [](const QImage& shot) {
            int amber = 0;
            for (int y = 0; y < std::min(shot.height(), 20); ++y)
                for (int x = shot.width() / 2; x < shot.width(); ++x) {
                    const QColor c = shot.pixelColor(x, y);
                    amber += c.red() > 200 && c.green() > 120 && c.green() < 210 && c.blue() < 90 ? 1 : 0;
                }
            return amber;
        };
        // Previews are drawn once the window has shown its first frame.
        QTRY_VERIFY(amberInCorner(warned->grab().toImage()) > 10);
        QCOMPARE(amberInCorner(window->Preview(1)->grab().toImage()), 0);
        QHelpEvent help(QEvent::ToolTip, QPoint(4, 4), warned->mapToGlobal(QPoint(4, 4)));
        QApplication::sendEvent(warned, &help);
        QTRY_VERIFY(QToolTip::text().endsWith(QStringLiteral("\n\n") + reason));
        QToolTip::hideText();

        TypePort(dir->filePath(QStringLiteral("ttyNone")));
        QString question;
        AnswerNextBox(QMessageBox::No, &question);
        QTest::mouseClick(Get<QPushButton>(CVexaDlg::SendButton), Qt::LeftButton);
        QCOMPARE(question, QStringLiteral("Some rows will not look as previewed:\nrow 2: ") + reason +
                               QStringLiteral("\nSend anyway?"));
        QVERIFY(window->Idle());

        test::BoxAnswerer answers; // Yes, then OK to the failure of this test's port
        QTest::mouseClick(Get<QPushButton>(CVexaDlg::SendButton), Qt::LeftButton);
        QVERIFY(!window->Idle());
        QCOMPARE(answers.texts.value(0), question);
        QTRY_VERIFY_WITH_TIMEOUT(answers.texts.contains(QStringLiteral("Open COM Port Failure!")), 10000);
    }

    void checkBox485IsStored() {
        OPEN(QStringLiteral("P26"));
        Get<QAbstractButton>(CVexaDlg::Check485)->click();
        QCOMPARE(app->settingsFile.Mode485(), 1);
        QCOMPARE(app->signLink.address485, 1);
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
