#include "app/CVexaApp.h"
#include "app/ui/CVexaDlg.h"
#include "app/ui/CWzdStatusBar.h"
#include "app/ui/MessageRowControls.h"
#include "link/ui/CDialogID.h"
#include "link/ui/CDialogIDSet.h"
#include "store/EncodedTextReader.h"
#include "support/MainWindowRig.h"
#include "support/SimProcess.h"
#include "support/WidgetFinder.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSet>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <functional>

using namespace vexa;

namespace {

// What a message box showed before the test answered it.
struct Box {
    QString title;
    QString text;
    QString detail;
};

} // namespace

// The main window says what really happened and what the sign will really do; every
// control carries a name a screen reader can read, and the keyboard follows the screen.
class TestHonestWindow : public QObject, public test::MainWindowRig {
    Q_OBJECT

private:
    void Open(const QString& model, const std::function<void(CVexaApp&)>& prepare = {}) {
        OpenWindow({.model = model, .prepare = prepare});
    }

    template <typename W> W* Get(int id) { return test::Get<W>(window.get(), id); }

    // Answers the message boxes that open while run() runs (and up to 20 s after), in
    // order, with the buttons given; returns what each box showed.
    static QList<Box> Answering(QList<QMessageBox::StandardButton> buttons,
                                const std::function<void()>& run) {
        QList<Box> seen;
        QTimer timer;
        timer.setInterval(20);
        QObject::connect(&timer, &QTimer::timeout, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box || buttons.isEmpty())
                return;
            seen.append({box->windowTitle(), box->text(), box->informativeText()});
            box->button(buttons.takeFirst())->click();
        });
        timer.start();
        run();
        static_cast<void>(QTest::qWaitFor([&] { return buttons.isEmpty(); }, 20000));
        return seen;
    }

    void TypePort(const QString& device) {
        auto* com = Get<QComboBox>(CVexaDlg::ComList);
        com->setEditText(device);
        emit com->lineEdit()->editingFinished();
    }

    static QString Name(QObject* object) {
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(object);
        return accessible ? accessible->text(QAccessible::Name) : QString();
    }
    static QString Value(QObject* object) {
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(object);
        return accessible ? accessible->text(QAccessible::Value) : QString();
    }

    static void SaveSigns(CVexaApp& context, const QList<std::pair<int, QString>>& signs,
                          quint32 groupCheck) {
        context.idList.Clear();
        for (const auto& [id, name] : signs)
            context.idList.entries[static_cast<size_t>(id)] = {name, 1, 1, 0};
        context.idList.groupCheck = groupCheck;
        QVERIFY(context.idList.SaveIdList());
    }

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void cleanup() { CloseWindow(); }

    // A settings file too large to read is told once, and each write it refuses once: the
    // window reads and writes it for every row and every click.
    void anUnreadableSettingsFileIsToldOnce() {
        QStringList reports;
        OPEN(QStringLiteral("P30"), [&](CVexaApp& context) {
            context.SetErrorReporter(
                [&](const QString&, const QString& text, const QString&) { reports << text; });
            QFile settings(context.settingsFile.Path());
            QVERIFY(settings.open(QIODevice::ReadWrite) &&
                    settings.resize(EncodedTextReader::MaxFileBytes + 1));
        });
        for (int row = 0; row < 3; ++row)
            qobject_cast<QAbstractButton*>(window->Control(MessageRowControls::SendId + row))->click();
        Get<QCheckBox>(CVexaDlg::Check485)->click();
        Get<QCheckBox>(CVexaDlg::Check485)->click();
        CloseWindow();
        QVERIFY2(!reports.isEmpty(), "the unread file was not told");
        QCOMPARE(QSet<QString>(reports.begin(), reports.end()).size(), reports.size());
    }

    // Signs added one by one are ticked while the root is not: a new language must leave
    // every tick, in the tree and in the file.
    void languageSwitchKeepsTheTicks() {
        OPEN(QStringLiteral("P30"), [](CVexaApp& context) {
            SaveSigns(context, {{1, QStringLiteral("Entrance")}, {2, QStringLiteral("Platform")}}, 0);
        });
        window->Command(32843)->trigger(); // simplified Chinese
        window->Command(32842)->trigger(); // and back to English
        QTreeWidgetItem* root = Get<QTreeWidget>(CVexaDlg::SignTree)->topLevelItem(0);
        QVERIFY(root && root->childCount() == 2);
        QTreeWidgetItem* first = root->child(0);
        QTreeWidgetItem* second = root->child(1);
        QVERIFY(first && second);
        QCOMPARE(root->checkState(0), Qt::Unchecked);
        QCOMPARE(first->checkState(0), Qt::Checked);
        QCOMPARE(second->checkState(0), Qt::Checked);
        QTest::qWait(1300); // a tick would be saved a second later
        CIdList onDisk(app->Paths().IdListPath());
        QVERIFY(onDisk.LoadIdList());
        QCOMPARE(onDisk.TickedIds(), QList<int>({1, 2}));
        QCOMPARE(app->idList.TickedIds(), QList<int>({1, 2}));
    }

    // Add with the ID of a sign in the list asks before the old name goes; Del asks, and
    // the tree and the file agree afterwards.
    void addAndDelAskFirst() {
        OPEN(QStringLiteral("P30"), [](CVexaApp& context) {
            SaveSigns(context, {{1, QStringLiteral("Entrance")}, {7, QStringLiteral("Gate")}}, 1);
        });
        bool stayedOpen = false;
        const auto addAs = [this, &stayedOpen](const QString& name) {
            QTimer::singleShot(0, [name, &stayedOpen] {
                auto* dialog = test::WaitForModal<CDialogID>();
                QVERIFY(dialog);
                test::Get<QLineEdit>(dialog, CDialogID::NameEdit)->setText(name);
                test::Get<QPushButton>(dialog, CDialogID::OkButton)->click();
                stayedOpen = dialog->isVisible();
                if (stayedOpen)
                    dialog->reject();
            });
            QTest::mouseClick(Get<QPushButton>(CVexaDlg::AddButton), Qt::LeftButton);
        };
        // No: the dialog stays open and the name stays.
        QList<Box> boxes = Answering({QMessageBox::No}, [&] { addAs(QStringLiteral("Dup test")); });
        QCOMPARE(boxes.value(0).text,
                 QStringLiteral("Sign 1 \"Entrance\" exists. Rename it to \"Dup test\"?"));
        QCOMPARE(boxes.value(0).title, QStringLiteral("Vexa Message Editor"));
        QVERIFY(stayedOpen);
        QCOMPARE(app->idList.entries[1].name, QStringLiteral("Entrance"));
        boxes = Answering({QMessageBox::Yes}, [&] { addAs(QStringLiteral("Dup test")); });
        QCOMPARE(boxes.size(), 1);
        QVERIFY(!stayedOpen);
        QCOMPARE(app->idList.entries[1].name, QStringLiteral("Dup test"));

        auto* tree = Get<QTreeWidget>(CVexaDlg::SignTree);
        tree->setCurrentItem(tree->topLevelItem(0)->child(1)); // 7.Gate
        boxes = Answering({QMessageBox::No}, [&] { Get<QPushButton>(CVexaDlg::DelButton)->click(); });
        QCOMPARE(boxes.value(0).text,
                 QStringLiteral("Remove sign 7 \"Gate\" from the list? Its message file is kept."));
        QCOMPARE(tree->topLevelItem(0)->childCount(), 2);
        tree->setCurrentItem(tree->topLevelItem(0)->child(1));
        boxes = Answering({QMessageBox::Yes}, [&] { Get<QPushButton>(CVexaDlg::DelButton)->click(); });
        QCOMPARE(tree->topLevelItem(0)->childCount(), 1);
        CIdList onDisk(app->Paths().IdListPath());
        QVERIFY(onDisk.LoadIdList());
        QCOMPARE(onDisk.entries[7].groupMask, 0u);
        QVERIFY(QFile::exists(app->Paths().WorkFilePath(7)));
    }

    // Read on a line where three signs answer says why it failed; after the port is
    // changed to a one-sign line, in the same window, Read and Set succeed.
    void idToolsStayRightAfterAFailure() {
        test::SimProcess three(QStringLiteral("P30"), {QStringLiteral("--ids"), QStringLiteral("3,5,7")},
                               test::SimProcess::Trace::Off);
        test::SimProcess one(QStringLiteral("P30"), {QStringLiteral("--ids"), QStringLiteral("5")},
                             test::SimProcess::Trace::Off);
        if (three.device.isEmpty() || one.device.isEmpty())
            QSKIP("vexa-sim is not built");
        OPEN(QStringLiteral("P30"));
        const auto idTool = [this](const std::function<void(CDialogIDSet*)>& use) {
            QTimer::singleShot(0, [use] {
                auto* dialog = test::WaitForModal<CDialogIDSet>();
                QVERIFY(dialog);
                use(dialog);
                dialog->reject();
            });
            window->Command(CVexaDlg::IdModify)->trigger();
        };
        const auto press = [](CDialogIDSet* dialog, int button) {
            return Answering({QMessageBox::Ok}, [&] { test::Get<QPushButton>(dialog, button)->click(); })
                .value(0);
        };
        TypePort(three.device);
        idTool([&](CDialogIDSet* dialog) {
            const Box read = press(dialog, CDialogIDSet::ReadButton);
            QCOMPARE(read.text, QStringLiteral("Read failed!"));
            QCOMPARE(read.detail,
                     QStringLiteral("Several signs answered (IDs 3, 5, 7). Read an ID with only one sign "
                                    "on the line."));
            QCOMPARE(read.title, QStringLiteral("Vexa Message Editor"));
        });
        TypePort(one.device);
        idTool([&](CDialogIDSet* dialog) {
            QCOMPARE(press(dialog, CDialogIDSet::ReadButton).text, QStringLiteral("Success!"));
            QCOMPARE(test::Get<QComboBox>(dialog, CDialogIDSet::FirstIdBox)->currentText(),
                     QStringLiteral("5"));
            test::Get<QComboBox>(dialog, CDialogIDSet::SecondIdBox)->setCurrentIndex(8);
            QCOMPARE(press(dialog, CDialogIDSet::SetButton).text, QStringLiteral("Success!"));
            QCOMPARE(press(dialog, CDialogIDSet::ReadButton).text, QStringLiteral("Success!"));
            QCOMPARE(test::Get<QComboBox>(dialog, CDialogIDSet::FirstIdBox)->currentText(),
                     QStringLiteral("9"));
        });
    }

    // Without 485 addressing the frames name no sign: the result says every sign took it.
    // The result stays until the next operation.
    void sendSaysItReachedTheWholeLine() {
        test::SimProcess sign(QStringLiteral("P30"), {}, test::SimProcess::Trace::Off);
        if (sign.device.isEmpty())
            QSKIP("vexa-sim is not built");
        OPEN(QStringLiteral("P30"));
        app->messageTable.WriteContent(
            0, QStringLiteral("{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0\\fs24 Hi\\par}"));
        app->messageTable.sendFlag[0] = 1;
        app->messageTable.SaveParams();
        window->LoadPreviews();
        QVERIFY(!Get<QCheckBox>(CVexaDlg::Check485)->toolTip().isEmpty());
        QVERIFY(!Get<QCheckBox>(CVexaDlg::Check485)->accessibleDescription().isEmpty());
        TypePort(sign.device);
        QTest::mouseClick(Get<QPushButton>(CVexaDlg::SendButton), Qt::LeftButton);
        const QString result = QStringLiteral("OK! Sent to every sign on the line.");
        QTRY_COMPARE_WITH_TIMEOUT(window->StatusPanes()->PaneText(2), result, 30000);
        QTRY_VERIFY_WITH_TIMEOUT(Get<QPushButton>(CVexaDlg::SendButton)->isEnabled(), 3000);
        QCOMPARE(window->StatusPanes()->PaneText(2), result);
    }

    // A typed device that is not there is said to be missing at once; Group Send says
    // why it is greyed.
    void portAndGroupSendSayWhatIsWrong() {
        OPEN(QStringLiteral("P30"));
        const QString device = dir->filePath(QStringLiteral("ttyGone"));
        TypePort(device);
        QCOMPARE(window->StatusPanes()->PaneText(2), device + QStringLiteral(": no such device."));
        QCOMPARE(window->Command(CVexaDlg::GroupSend)->toolTip(),
                 QStringLiteral("Group Send needs a model on an RS-485 line (P26\u2013P28)"));
    }

    // The 485 option's tooltip says what it does on the model's family.
    void optionTipFollowsTheFamily() {
        OPEN(QStringLiteral("P04"));
        auto* box = Get<QCheckBox>(CVexaDlg::Check485);
        QVERIFY2(box->toolTip().contains(QStringLiteral("carry no sign ID")), qPrintable(box->toolTip()));
        CloseWindow();
        OPEN(QStringLiteral("P27"));
        box = Get<QCheckBox>(CVexaDlg::Check485);
        QVERIFY2(box->toolTip().contains(QStringLiteral("always carry")), qPrintable(box->toolTip()));
        QCOMPARE(box->accessibleDescription(), box->toolTip());
    }

    // Stored effect 7 of template 177 is outside the seven effects of P26: the sign runs
    // the list's first effect, and the row shows and says it.
    void effectOutsideTheListShowsWhatTheSignRuns() {
        OPEN(QStringLiteral("P26"));
        QCOMPARE(app->messageTable.effect[7], 7);
        auto* effect = Get<QPushButton>(MessageRowControls::EffectId + 7);
        QCOMPARE(effect->text(), QStringLiteral("Fix"));
        QVERIFY2(effect->toolTip().contains(
                     QStringLiteral("Effect 7 is not in this model's list: the sign runs Fix.")),
                 qPrintable(effect->toolTip()));
        QCOMPARE(Get<QPushButton>(MessageRowControls::EffectId + 6)->toolTip(), QStringLiteral("Effect"));
    }

    // With no application for pictures on the desktop the real launcher says so.
    void bmpEditorWithoutImageApplicationSaysSo() {
        OPEN(QStringLiteral("P30"));
        const QString tools = app->Paths().ToolsDir();
        QVERIFY(QDir().mkpath(tools));
        QVERIFY(
            QFile::copy(QStringLiteral(VEXA_BIN_DIR "/Tools/imagedit"), tools + QStringLiteral("/imagedit")));
        const QString empty = dir->filePath(QStringLiteral("xdg"));
        QVERIFY(QDir().mkpath(empty));
        const char* const names[] = {"XDG_DATA_DIRS", "XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_CONFIG_DIRS"};
        QList<QByteArray> saved;
        for (const char* name : names) {
            saved << qgetenv(name);
            qputenv(name, empty.toUtf8());
        }
        const QList<Box> boxes =
            Answering({QMessageBox::Ok}, [&] { Get<QPushButton>(CVexaDlg::BmpEditorButton)->click(); });
        for (qsizetype i = 0; i < saved.size(); ++i) {
            if (saved[i].isNull())
                qunsetenv(names[i]);
            else
                qputenv(names[i], saved[i]);
        }
        QCOMPARE(boxes.value(0).text, QStringLiteral("No image editor is installed"));
        QVERIFY(boxes.value(0).detail.contains(app->Paths().ImageDir()));
    }

    // Each row: Edit, Effect, Speed, Time, Marquee, Blink, Send, then the next row's preview.
    void tabFollowsTheRows() {
        OPEN(QStringLiteral("P19")); // a 12-row model: every box of a text row takes input
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        QList<int> expected{20070, 20080, 20000, 20010, 20040, 20170, 20030};
        expected << MessageRowControls::PreviewId + 1; // the next row begins
        auto* first = Get<QWidget>(expected.constFirst());
        first->setFocus(Qt::TabFocusReason);
        QTRY_VERIFY(first->hasFocus());
        QList<int> walked{QApplication::focusWidget()->property("controlId").toInt()};
        while (walked.size() < expected.size()) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            walked << QApplication::focusWidget()->property("controlId").toInt();
        }
        QCOMPARE(walked, expected);
    }

    // Screen readers hear the purpose of each box and its value apart, and what a preview
    // shows.
    void controlsAreNamedByPurpose() {
        OPEN(QStringLiteral("P30"));
        app->messageTable.WriteContent(
            0, QStringLiteral("{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0\\fs24 Welcome to Platform 3\\par}"));
        window->LoadPreviews();
        auto* speed = Get<QComboBox>(MessageRowControls::SpeedId + 2);
        QCOMPARE(Name(speed), QStringLiteral("Row 3 speed"));
        QCOMPARE(Value(speed), QStringLiteral("3"));
        QCOMPARE(Name(Get<QComboBox>(CVexaDlg::ComList)), QStringLiteral("COM port"));
        QCOMPARE(Name(Get<QComboBox>(CVexaDlg::ModelList)), QStringLiteral("Model"));
        QCOMPARE(Value(Get<QComboBox>(CVexaDlg::ModelList)), QStringLiteral("P30"));
        QCOMPARE(Name(window->Preview(0)),
                 QStringLiteral("Row 1: text 'Welcome to Platform 3', Fix, speed 1"));
        QCOMPARE(Name(window->Preview(4)), QStringLiteral("Row 5: empty"));
    }
};

QTEST_MAIN(TestHonestWindow)
#include "tst_honestwindow.moc"
