#include "app/CVexaApp.h"
#include "app/WorkFiles.h"
#include "app/ui/CVexaDlg.h"
#include "app/ui/CWzdStatusBar.h"
#include "app/ui/IContentEditorLauncher.h"
#include "link/TreeOptionsState.h"
#include "link/ui/CDialogGroup.h"
#include "link/ui/CDialogID.h"
#include "link/ui/CDialogIDSet.h"
#include "link/ui/CTreeOptionsCtrl.h"
#include "support/MainWindowRig.h"
#include "support/WhenModal.h"
#include "support/WidgetFinder.h"

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QMap>
#include <QMessageBox>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <functional>
#include <memory>

using namespace vexa;

namespace {

// A vexa-sim line; its JSON events are collected as they come.
class Sim {
public:
    explicit Sim(const QStringList& arguments) {
        process.start(QStringLiteral(VEXA_BIN_DIR "/vexa-sim"),
                      arguments + QStringList{QStringLiteral("--json")});
        if (process.waitForStarted(5000) && process.waitForReadyRead(5000))
            device = QJsonDocument::fromJson(process.readLine())
                         .object()
                         .value(QStringLiteral("device"))
                         .toString();
    }
    ~Sim() {
        process.terminate();
        process.waitForFinished(3000);
    }
    // The values of field in every event of kind so far.
    QList<int> Values(const char* kind, const char* field) {
        buffer += process.readAllStandardOutput();
        QList<int> values;
        for (const QByteArray& line : buffer.split('\n')) {
            const QJsonObject event = QJsonDocument::fromJson(line).object();
            if (event.value(QStringLiteral("event")).toString() == QLatin1String(kind))
                values << event.value(QLatin1String(field)).toInt();
        }
        return values;
    }
    QString device;

private:
    QProcess process;
    QByteArray buffer;
};

// Clicks the given button of the next message box and returns its text through *text.
// It polls, so a box that opens from a timer inside another wait is answered too.
void AnswerBox(QString* text, QMessageBox::StandardButton button = QMessageBox::Ok) {
    auto* poll = new QTimer;
    poll->setInterval(20);
    QObject::connect(poll, &QTimer::timeout, [poll, text, button] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        *text = box->text();
        poll->stop();
        poll->deleteLater();
        box->button(button)->click();
    });
    poll->start();
}

} // namespace

// The ID editor, the ID tool and the group send dialog, opened from the main window.
class TestSignDialogs : public QObject, public test::MainWindowRig {
    Q_OBJECT

    // Opens the window with the sign list that signs writes.
    void Open(const QString& model, const std::function<void(CIdList&)>& signs) {
        OpenWindow({.model = model, .prepare = [&signs](CVexaApp& opened) {
                        opened.idList.Clear();
                        signs(opened.idList);
                        QVERIFY(opened.idList.SaveIdList());
                    }});
    }
    void UsePort(const QString& device) {
        auto* com = test::Get<QComboBox>(window.get(), CVexaDlg::ComList);
        com->setEditText(device);
        emit com->lineEdit()->editingFinished();
    }
    QStringList TreeTexts() {
        QStringList texts;
        QTreeWidgetItem* root = test::Get<QTreeWidget>(window.get(), CVexaDlg::SignTree)->topLevelItem(0);
        for (int i = 0; root && i < root->childCount(); ++i)
            texts << root->child(i)->text(0);
        return texts;
    }
    void Click(int buttonId) {
        QTest::mouseClick(test::Get<QPushButton>(window.get(), buttonId), Qt::LeftButton);
    }

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void cleanup() { CloseWindow(); }

    void addModifyAndAutoAdd() {
        Open(QStringLiteral("P27"), [](CIdList& list) {
            list.entries[1] = {QStringLiteral("One"), 1, 1, 0};
            list.entries[4] = {QStringLiteral("Hall"), 1, 0, 0};
        });
        test::WhenModal<CDialogID>([](CDialogID* d) {
            QCOMPARE(d->TemplateId(), 163);
            auto* name = test::Get<QLineEdit>(d, CDialogID::NameEdit);
            QCOMPARE(name->text(), QStringLiteral("LED"));
            QVERIFY(test::Get<QComboBox>(d, CDialogID::SecondIdBox)->isHidden());
            test::Get<QComboBox>(d, CDialogID::FirstIdBox)->setCurrentIndex(8);
            name->setText(QStringLiteral("Door"));
            QTest::keyClick(name, Qt::Key_Return);
        });
        Click(CVexaDlg::AddButton);
        QCOMPARE(TreeTexts(), QStringList({"1.One", "4.Hall", "9.Door"}));
        QVERIFY(QFileInfo::exists(app->Paths().WorkFilePath(9)));

        // Auto Add 5 to 5 is refused and the dialog stays; 3 to 6 keeps sign 4 as it was.
        QString refusal;
        test::WhenModal<CDialogID>([&refusal](CDialogID* d) {
            test::Get<QCheckBox>(d, CDialogID::AutoAddBox)->click();
            QVERIFY(test::Get<QLineEdit>(d, CDialogID::NameEdit)->isHidden());
            auto* first = test::Get<QComboBox>(d, CDialogID::FirstIdBox);
            auto* second = test::Get<QComboBox>(d, CDialogID::SecondIdBox);
            first->setCurrentIndex(4);
            second->setCurrentIndex(4);
            AnswerBox(&refusal);
            test::Get<QPushButton>(d, CDialogID::OkButton)->click();
            QVERIFY(d->isVisible());
            first->setCurrentIndex(2);
            second->setCurrentIndex(5);
            test::Get<QPushButton>(d, CDialogID::OkButton)->click();
        });
        Click(CVexaDlg::AddButton);
        QCOMPARE(refusal, QStringLiteral("ID2 > ID1 !"));
        QCOMPARE(TreeTexts(), QStringList({"1.One", "3.LED", "4.Hall", "5.LED", "6.LED", "9.Door"}));
        QCOMPARE(app->idList.entries[4].checkMask, 0u);

        // Modify renames the current sign (1); its ID cannot be changed.
        test::WhenModal<CDialogID>([](CDialogID* d) {
            QVERIFY(!test::Get<QComboBox>(d, CDialogID::FirstIdBox)->isEnabled());
            QVERIFY(test::Get<QCheckBox>(d, CDialogID::AutoAddBox)->isHidden());
            auto* name = test::Get<QLineEdit>(d, CDialogID::NameEdit);
            QCOMPARE(name->text(), QStringLiteral("One"));
            name->setText(QStringLiteral("First"));
            test::Get<QPushButton>(d, CDialogID::OkButton)->click();
        });
        Click(CVexaDlg::ModifyButton);
        QCOMPARE(TreeTexts().constFirst(), QStringLiteral("1.First"));
        CIdList onDisk(app->Paths().IdListPath());
        QVERIFY(onDisk.LoadIdList());
        QCOMPARE(onDisk.entries[1].name, QStringLiteral("First"));
    }

    void idReadAndRefusedSets() {
        Sim sim({QStringLiteral("--model"), QStringLiteral("P13"), QStringLiteral("--ids"),
                 QStringLiteral("12")});
        if (sim.device.isEmpty())
            QSKIP("vexa-sim is not built");
        Open(QStringLiteral("P13"), [](CIdList&) {});
        UsePort(sim.device);
        QString readText, refused300, refused256;
        test::WhenModal<CDialogIDSet>([&](CDialogIDSet* d) {
            // The English file gives the title; the reader trims its value.
            QCOMPARE(d->windowTitle(), QStringLiteral("ID modify"));
            auto* read = test::Get<QPushButton>(d, CDialogIDSet::ReadButton);
            AnswerBox(&readText);
            read->click();
            QVERIFY(!read->isEnabled()); // until the reply wait is over
            QTRY_VERIFY_WITH_TIMEOUT(!readText.isEmpty(), 3000);
            QCOMPARE(test::Get<QComboBox>(d, CDialogIDSet::FirstIdBox)->currentText(), QStringLiteral("12"));
            auto* next = test::Get<QComboBox>(d, CDialogIDSet::SecondIdBox);
            next->setEditText(QStringLiteral("300"));
            AnswerBox(&refused300);
            test::Get<QPushButton>(d, CDialogIDSet::SetButton)->click();
            next->setEditText(QStringLiteral("256"));
            AnswerBox(&refused256);
            test::Get<QPushButton>(d, CDialogIDSet::SetButton)->click();
            d->reject();
        });
        window->Command(CVexaDlg::IdModify)->trigger();
        QCOMPARE(readText, QStringLiteral("Success!"));
        QCOMPARE(refused300, QStringLiteral("ID >=1 and ID <= 256!"));
        QVERIFY(refused256.contains(QStringLiteral("256 cannot be used")));
        QTest::qWait(300);
        QVERIFY(sim.Values("set-id", "to").isEmpty()); // nothing sent
        QVERIFY(!app->signLink.Port()->IsOpen());
    }

    // Signs 2 and 5 ticked, 7 not: the tree comes from the sign list, the tick buttons
    // restore it, Power ON reaches 2 and 5 only, Send All sends to them.
    void groupPowerAndSend() {
        Sim sim({QStringLiteral("--model"), QStringLiteral("P27"), QStringLiteral("--ids"),
                 QStringLiteral("2,5")});
        if (sim.device.isEmpty())
            QSKIP("vexa-sim is not built");
        Open(QStringLiteral("P27"), [](CIdList& list) {
            list.entries[2] = {QStringLiteral("Two"), 1, 1, 0};
            list.entries[5] = {QStringLiteral("Five"), 1, 1, 0};
            list.entries[7] = {QStringLiteral("Seven"), 1, 0, 0};
        });
        app->messageTable.WriteContent(
            0, QStringLiteral("{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0\\fs24 Hi\\par}"));
        app->messageTable.sendFlag[0] = 1;
        app->messageTable.SaveParams();
        window->LoadPreviews();
        UsePort(sim.device);
        QList<bool> disabledDuringRun;
        test::WhenModal<CDialogGroup>([&](CDialogGroup* d) {
            QCOMPARE(d->TemplateId(), 310);
            CTreeOptionsCtrl* tree = d->Tree();
            QTreeWidgetItem* root = tree->topLevelItem(0);
            QCOMPARE(root->text(0), QStringLiteral("LED"));
            QCOMPARE(root->childCount(), 3);
            QCOMPARE(d->TickedIds(), QList<int>({2, 5}));
            const auto press = [d](int button) {
                test::Get<QPushButton>(d, button)->click();
                return d->TickedIds();
            };
            QCOMPARE(press(CDialogGroup::ReverseButton), QList<int>{7});
            QCOMPARE(press(CDialogGroup::ReverseButton), QList<int>({2, 5}));
            QCOMPARE(press(CDialogGroup::AllButton), QList<int>({2, 5, 7}));
            press(CDialogGroup::NoAllButton);
            QVERIFY(d->TickedIds().isEmpty());
            tree->setCurrentItem(root->child(0));
            QTest::keyClick(tree, Qt::Key_Space);
            tree->setCurrentItem(root->child(1));
            QTest::keyClick(tree, Qt::Key_Space);
            tree->setCurrentItem(root);
            QTest::keyClick(tree, Qt::Key_Space); // the root is no box
            QCOMPARE(tree->ItemImage(root), int(TreeOptionsState::Group));
            QCOMPARE(d->TickedIds(), QList<int>({2, 5}));
            // Screen readers hear the ticks as checked states.
            QMap<QString, QString> states;
            QAccessibleInterface* access = QAccessible::queryAccessibleInterface(tree);
            for (int i = 0; access && i < access->childCount(); ++i) {
                const QAccessible::State state = access->child(i)->state();
                states[access->child(i)->text(QAccessible::Name)] = !state.checkable ? QStringLiteral("-")
                                                                    : state.checked  ? QStringLiteral("on")
                                                                                     : QStringLiteral("off");
            }
            QCOMPARE(states.value(QStringLiteral("5.Five")), QStringLiteral("on"));
            QCOMPARE(states.value(QStringLiteral("7.Seven")), QStringLiteral("off"));
            QCOMPARE(states.value(QStringLiteral("LED")), QStringLiteral("-"));

            test::Get<QPushButton>(d, CDialogGroup::PowerOnButton)->click();
            disabledDuringRun << !test::Get<QPushButton>(d, CDialogGroup::SendAllButton)->isEnabled()
                              << !window->Control(CVexaDlg::AddButton)->isEnabled()
                              << !window->Control(CVexaDlg::ScanButton)->isEnabled();
            auto* sendAll = test::Get<QPushButton>(d, CDialogGroup::SendAllButton);
            QTRY_VERIFY_WITH_TIMEOUT(sendAll->isEnabled(), 10000);
            QCOMPARE(window->StatusPanes()->PaneText(2),
                     QStringLiteral("Power on: 2, 5.")); // names the operation
            sendAll->click();
            QVERIFY(!window->Idle());
            QTRY_VERIFY_WITH_TIMEOUT(sendAll->isEnabled(), 30000);
            d->reject();
        });
        window->Command(CVexaDlg::GroupSend)->trigger();
        QCOMPARE(disabledDuringRun, QList<bool>({true, true, true}));
        QTRY_COMPARE_WITH_TIMEOUT(sim.Values("power", "id"), QList<int>({2, 5}), 3000);
        QTRY_VERIFY_WITH_TIMEOUT(sim.Values("message", "id").contains(5), 5000);
        QVERIFY(sim.Values("message", "id").contains(2));
        QVERIFY(!sim.Values("message", "id").contains(7));
    }
};

QTEST_MAIN(TestSignDialogs)
#include "tst_signdialogs.moc"
