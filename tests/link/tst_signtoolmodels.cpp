#include "link/GroupSendModel.h"
#include "link/IdCommandModel.h"
#include "link/SignLink.h"
#include "link/TreeOptionsState.h"
#include "store/CIdList.h"
#include "store/SystemSettings.h"

#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace vexa;

// The GUI-free rules of the ID tool, the group send dialog and the options tree.
class TestSignToolModels : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void idSetRange() {
        QCOMPARE(IdCommandModel::CheckSet(3, 300), QStringLiteral("ID >=1 and ID <= 256!"));
        QCOMPARE(IdCommandModel::CheckSet(0, 4), QStringLiteral("ID >=1 and ID <= 256!"));
        QVERIFY(IdCommandModel::CheckSet(3, 256).contains(QStringLiteral("256 cannot be used")));
        QVERIFY(IdCommandModel::CheckSet(256, 3).contains(QStringLiteral("256 cannot be used")));
        QVERIFY(IdCommandModel::CheckSet(1, 255).isEmpty());
        QCOMPARE(IdCommandModel::ParseId(QStringLiteral(" 12 ")), 12);
        QCOMPARE(IdCommandModel::ParseId(QStringLiteral("1x")), 0);
    }

    // Why an ID command found no reply it could take, from what the line left.
    void idFailureReasons() {
        QCOMPARE(IdCommandModel::FailureReason({}), QStringLiteral("No sign answered."));
        QCOMPARE(IdCommandModel::FailureReason(QByteArray::fromHex("84659C5A03"
                                                                   "84659C5A05"
                                                                   "CC42001A00401007")),
                 QStringLiteral(
                     "Several signs answered (IDs 3, 5, 7). Read an ID with only one sign on the line."));
        QCOMPARE(IdCommandModel::FailureReason(QByteArray::fromHex("84659C5A0384")),
                 QStringLiteral("The reply was not understood: 84 65 9C 5A 03 84"));
    }

    void groupTreeFromTheSettingsKeys() {
        QTemporaryDir dir;
        SystemSettings settings(dir.filePath(QStringLiteral("System.set")));
        CIniFile& file = settings.File();
        file.PutInteger(QStringLiteral("LEDData"), QStringLiteral("LEDID_Num"), 3, true);
        file.PutText(QStringLiteral("LEDData"), QStringLiteral("LEDID_Str"), QStringLiteral("000700120003"),
                     true);
        file.PutText(QStringLiteral("LEDData"), QStringLiteral("LEDID12"), QStringLiteral("Gate"), true);
        QVERIFY(file.SaveFile());
        CIdList list;
        list.Clear();
        list.entries[5] = {QStringLiteral("Unused"), 1, 1, 0};
        const QList<GroupSendModel::Child> children = GroupSendModel::Children(settings, list);
        QCOMPARE(children.size(), 3);
        QCOMPARE(children[0].id, 7);
        QCOMPARE(children[1].text, QStringLiteral("12.Gate"));
        QCOMPARE(children[2].id, 3);
        QVERIFY(children[2].ticked);
    }

    // Without those keys the tree shows the signs of group 0, ticked as their masks say.
    void groupTreeFromTheSignList() {
        QTemporaryDir dir;
        SystemSettings settings(dir.filePath(QStringLiteral("System.set")));
        CIdList list;
        list.Clear();
        list.entries[9] = {QStringLiteral("Nine"), 1, 0, 0};
        list.entries[2] = {QStringLiteral("Two"), 3, 1, 0};
        list.entries[4] = {QStringLiteral("Other group"), 2, 1, 0};
        const QList<GroupSendModel::Child> children = GroupSendModel::Children(settings, list);
        QCOMPARE(children.size(), 2);
        QCOMPARE(children[0].text, QStringLiteral("2.Two"));
        QVERIFY(children[0].ticked);
        QCOMPARE(children[1].text, QStringLiteral("9.Nine"));
        QVERIFY(!children[1].ticked);
        QCOMPARE(GroupSendModel::IdOfText(QStringLiteral("LED")), 0); // no full stop: never collected
        QCOMPARE(GroupSendModel::IdOfText(QStringLiteral("12.a.b")), 12);

        SignLink link;
        GroupSendModel::HandToLink(link, {2, 5}, SignLink::GroupPowerOn);
        QCOMPARE(link.groupCount, 2);
        QCOMPARE(link.groupIds[1], 5);
        QCOMPARE(link.groupOperation, 0);
    }

    void optionStates() {
        using S = TreeOptionsState;
        QCOMPARE(S::ToggledCheck(S::CheckOn), int(S::CheckOff));
        QCOMPARE(S::ToggledCheck(S::ToggledCheck(S::CheckOn)), int(S::CheckOn));
        QCOMPARE(S::ToggledCheck(S::CheckOnDisabled), int(S::CheckOnDisabled));
        QCOMPARE(S::ToggledCheck(S::Group), int(S::Group));
        QVERIFY(S::IsTicked(S::CheckOnDisabled));
        const QList<int> siblings{S::RadioOn, S::RadioOff, S::RadioOffDisabled, S::CheckOn};
        QCOMPARE(S::SwitchedRadio(siblings, 1),
                 QList<int>({S::RadioOff, S::RadioOn, S::RadioOffDisabled, S::RadioOffDisabled}));
        QCOMPARE(S::SwitchedRadio(siblings, 0), siblings); // already on
        QCOMPARE(S::SwitchedRadio(siblings, 2), siblings); // disabled
    }
};

QTEST_GUILESS_MAIN(TestSignToolModels)
#include "tst_signtoolmodels.moc"
