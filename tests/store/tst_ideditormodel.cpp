#include "store/CIdList.h"
#include "store/IdEditorModel.h"

#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace vexa;

// The ID editor's rules on a sign list saved in a temporary folder.
class TestIdEditorModel : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<CIdList> list;
    QList<int> filesMade;

    IdEditorModel Model(int style, int nowSel = 1) {
        return IdEditorModel(*list, style, nowSel, [this](int id) {
            filesMade << id;
            return true;
        });
    }
    CIdList OnDisk() {
        CIdList saved(dir->filePath(QStringLiteral("IDLIST.id")));
        saved.LoadIdList();
        return saved;
    }

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init() {
        dir = std::make_unique<QTemporaryDir>();
        list = std::make_unique<CIdList>(dir->filePath(QStringLiteral("IDLIST.id")));
        list->Clear();
        filesMade.clear();
    }

    void addOneSavesAndMakesItsFile() {
        IdEditorModel model = Model(IdEditorModel::AddStyle);
        QCOMPARE(model.InitialName(), QStringLiteral("LED"));
        QCOMPARE(model.InitialId(), 1);
        const IdEditorModel::Outcome empty = model.Accept(7, 1, QString(), false);
        QVERIFY(!empty.accepted);
        QCOMPARE(empty.message, QStringLiteral("Name is empty!"));
        QVERIFY(model.Accept(7, 1, QStringLiteral("Door"), false).accepted);
        const CIdList saved = OnDisk();
        QCOMPARE(saved.entries[7].name, QStringLiteral("Door"));
        QCOMPARE(saved.entries[7].groupMask & 1u, 1u);
        QCOMPARE(saved.entries[7].checkMask & 1u, 1u);
        QCOMPARE(filesMade, QList<int>{7});
    }

    // 3 to 6 adds the missing signs as "LED"; sign 4 already there keeps name and ticks.
    void autoAddKeepsExistingSigns() {
        list->entries[4] = {QStringLiteral("Hall"), 1, 0, 0};
        IdEditorModel model = Model(IdEditorModel::AddStyle);
        QVERIFY(model.Accept(3, 6, QString(), true).accepted);
        const CIdList saved = OnDisk();
        for (int id : {3, 5, 6}) {
            QCOMPARE(saved.entries[static_cast<size_t>(id)].name, QStringLiteral("LED"));
            QCOMPARE(saved.entries[static_cast<size_t>(id)].checkMask, 1u);
        }
        QCOMPARE(saved.entries[4].name, QStringLiteral("Hall"));
        QCOMPARE(saved.entries[4].checkMask, 0u);
        QCOMPARE(filesMade, QList<int>({3, 5, 6}));
    }

    void refusals_data() {
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("second");
        QTest::addColumn<bool>("autoAdd");
        QTest::addColumn<QString>("message");
        QTest::newRow("5 to 5") << 5 << 5 << true << "ID2 > ID1 !";
        QTest::newRow("6 to 3") << 6 << 3 << true << "ID2 > ID1 !";
        QTest::newRow("range to 256") << 250 << 256 << true << IdEditorModel::IdOutOfRangeText();
        QTest::newRow("one 256") << 256 << 1 << false << IdEditorModel::IdOutOfRangeText();
    }
    void refusals() {
        QFETCH(int, first);
        QFETCH(int, second);
        QFETCH(bool, autoAdd);
        QFETCH(QString, message);
        const IdEditorModel::Outcome outcome =
            Model(IdEditorModel::AddStyle).Accept(first, second, "X", autoAdd);
        QVERIFY(!outcome.accepted);
        QCOMPARE(outcome.message, message);
        for (int id = 1; id <= CIdList::MaxId; ++id)
            QCOMPARE(list->entries[static_cast<size_t>(id)].groupMask, 0u);
        QVERIFY(filesMade.isEmpty());
    }

    void modifyRenamesTheCurrentSign() {
        list->entries[9] = {QStringLiteral("Old"), 1, 1, 0};
        IdEditorModel model = Model(IdEditorModel::ModifyStyle, 9);
        QCOMPARE(model.InitialId(), 9);
        QCOMPARE(model.InitialName(), QStringLiteral("Old"));
        QCOMPARE(model.Accept(1, 1, QString(), false).message, QStringLiteral("Name is empty!"));
        QVERIFY(model.Accept(1, 1, QStringLiteral("New"), false).accepted); // the ID box is not read
        QCOMPARE(OnDisk().entries[9].name, QStringLiteral("New"));
        QCOMPARE(Model(7).Accept(1, 1, QStringLiteral("x"), false).message,
                 QStringLiteral("Dialog style error"));
    }
};

QTEST_GUILESS_MAIN(TestIdEditorModel)
#include "tst_ideditormodel.moc"
