#include "app/ModelState.h"
#include "app/RowRules.h"
#include "core/ModelCatalogue.h"
#include "store/CMessageTable.h"

#include <QTest>

using namespace vexa;

// Row enabling, button captions and the model members the window follows.
class TestRowRules : public QObject {
    Q_OBJECT

private slots:
    void enablingByModelAndKind_data() {
        QTest::addColumn<QString>("model");
        QTest::addColumn<int>("kind");
        QTest::addColumn<bool>("rowControls"); // send, marquee, right-to-left, effect, speed
        QTest::addColumn<bool>("time");
        QTest::addColumn<bool>("blink");
        QTest::newRow("P29 text: blink greyed on 16 rows") << "P29" << 1 << true << true << false;
        QTest::newRow("P29 empty: only blink stays (greyed)") << "P29" << 0 << false << false << false;
        QTest::newRow("P13 text: time greyed") << "P13" << 1 << true << false << true;
        QTest::newRow("P19 text: 12 rows, time usable") << "P19" << 1 << true << true << true;
        QTest::newRow("P25 image: time greyed") << "P25" << 2 << true << false << true;
        QTest::newRow("P01 date: everything usable") << "P01" << 3 << true << true << true;
        QTest::newRow("P01 empty: blink usable, rest greyed") << "P01" << 0 << false << false << true;
        QTest::newRow("P26 date") << "P26" << 3 << true << true << false;
    }
    void enablingByModelAndKind() {
        QFETCH(QString, model);
        QFETCH(int, kind);
        QFETCH(bool, rowControls);
        QFETCH(bool, time);
        QFETCH(bool, blink);
        ModelState state;
        QVERIFY(state.ApplyModel(model));
        const RowEnabling e = RowRules::EnablingFor(state.Model(), state.rows, kind);
        QCOMPARE(e.send, rowControls);
        QCOMPARE(e.marquee, rowControls);
        QCOMPARE(e.rightToLeft, rowControls);
        QCOMPARE(e.effect, rowControls);
        QCOMPARE(e.speed, rowControls);
        QCOMPARE(e.time, time);
        QCOMPARE(e.blink, blink);
    }

    void timeBoxesFollowTheCatalogueForEveryModel() {
        for (const DisplayModel& m : ModelCatalogue::All()) {
            const RowEnabling e = RowRules::EnablingFor(&m, m.rows, CMessageTable::KindText);
            QCOMPARE(e.time, m.timeBoxesUsable);
            QCOMPARE(e.blink, m.rows != 16);
        }
    }

    void noModelYetKeepsTimeUsable() {
        const RowEnabling e = RowRules::EnablingFor(nullptr, 12, CMessageTable::KindText);
        QVERIFY(e.time);
        QVERIFY(e.blink);
    }

    void captions() {
        QCOMPARE(RowRules::ContentCaption(0, true), QString());
        QCOMPARE(RowRules::ContentCaption(1, false), QStringLiteral("Text"));
        QCOMPARE(RowRules::ContentCaption(2, false), QStringLiteral("Image"));
        // A date row kept on a model without a clock: the menu has no Date item.
        QCOMPARE(RowRules::ContentCaption(3, false), QString());
        QCOMPARE(RowRules::ContentCaption(3, true), QStringLiteral("Date"));
        QCOMPARE(RowRules::ContentCaption(7, true), QString());
        QCOMPARE(RowRules::EffectCaption(7, 0), QStringLiteral("Middle"));
        QCOMPARE(RowRules::EffectCaption(7, 1), QString()); // list B has seven effects
        QCOMPARE(RowRules::EffectCaption(6, 1), QStringLiteral("Blink"));
        QCOMPARE(RowRules::EffectCaption(0, 2), QStringLiteral("Left"));
        QCOMPARE(RowRules::EffectCaption(-1, 0), QString());
        QCOMPARE(RowRules::SpeedItems(), QStringList({"1", "2", "3", "4", "5", "6", "7", "8"}));
        QCOMPARE(RowRules::TimeItems(), QStringList({"0s", "1s", "2s", "3s", "4s", "5s"}));
    }

    void modelStateStartsWithTheEngineValues() {
        ModelState state;
        QCOMPARE(state.rows, 12);
        QCOMPARE(state.slotCount, 8);
        QVERIFY(state.hasClock);
        QCOMPARE(state.pageWidth, 64);
        QCOMPARE(state.pagePitch, 64);
        QVERIFY(!state.Model());
        QCOMPARE(state.PreviewExportHeight(), 0);
    }

    void unknownModelChangesNothing() {
        ModelState state;
        QVERIFY(state.ApplyModel(QStringLiteral("P13")));
        QVERIFY(!state.ApplyModel(QStringLiteral("p29")));
        QVERIFY(!state.ApplyModel(QString()));
        QCOMPARE(QString::fromLatin1(state.Model()->name), QStringLiteral("P13"));
        QCOMPARE(state.rows, 12);
        QCOMPARE(state.pageWidth, 33);
        QCOMPARE(state.pagePitch, 40);
    }

    void modelWithoutGeometryKeepsThePitch() {
        ModelState state;
        QVERIFY(state.ApplyModel(QStringLiteral("P14")));
        QVERIFY(state.ApplyModel(QStringLiteral("P26")));
        QCOMPARE(state.pageWidth, 0);
        QCOMPARE(state.pagePitch, 48);
    }

    void visibleRowsAndExportHeight_data() {
        QTest::addColumn<QString>("model");
        QTest::addColumn<int>("visible");
        QTest::addColumn<int>("exportHeight");
        QTest::newRow("P01") << "P01" << 8 << 12;
        QTest::newRow("P04") << "P04" << 9 << 12;
        QTest::newRow("P06") << "P06" << 8 << 0;
        QTest::newRow("P29") << "P29" << 10 << 0;
        QTest::newRow("P19") << "P19" << 8 << 0;
    }
    void visibleRowsAndExportHeight() {
        QFETCH(QString, model);
        QFETCH(int, visible);
        QFETCH(int, exportHeight);
        ModelState state;
        QVERIFY(state.ApplyModel(model));
        QCOMPARE(state.VisibleRowCount(), visible);
        QCOMPARE(state.RowVisible(8), visible >= 9);
        QCOMPARE(state.RowVisible(9), visible == 10);
        QCOMPARE(state.PreviewExportHeight(), exportHeight);
    }

    void pageAlignment_data() {
        QTest::addColumn<QString>("model");
        QTest::addColumn<int>("holdTime");
        QTest::addColumn<int>("effect");
        QTest::addColumn<int>("align");
        QTest::newRow("16 rows, 0s, effect 1") << "P29" << 0 << 1 << 0;
        QTest::newRow("16 rows, 0s, effect 2") << "P26" << 0 << 2 << 0;
        QTest::newRow("16 rows, 1s, effect 1") << "P29" << 1 << 1 << 1;
        QTest::newRow("16 rows, 0s, effect 0") << "P29" << 0 << 0 << 1;
        QTest::newRow("P13, 0s, effect 0") << "P13" << 0 << 0 << 0;
        QTest::newRow("P24, 0s, effect 1") << "P24" << 0 << 1 << 0;
        QTest::newRow("P13, 0s, effect 2") << "P13" << 0 << 2 << 1;
        QTest::newRow("P22 is not paged") << "P22" << 0 << 0 << 1;
        QTest::newRow("P19 is not paged") << "P19" << 0 << 1 << 1;
        QTest::newRow("P01 always") << "P01" << 0 << 1 << 1;
    }
    void pageAlignment() {
        QFETCH(QString, model);
        QFETCH(int, holdTime);
        QFETCH(int, effect);
        QFETCH(int, align);
        QCOMPARE(ModelCatalogue::PageAlignFor(ModelCatalogue::Find(model), holdTime, effect), align);
    }
};

QTEST_GUILESS_MAIN(TestRowRules)
#include "tst_rowrules.moc"
