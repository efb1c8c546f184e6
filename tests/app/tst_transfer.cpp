#include "app/TransferProgress.h"
#include "app/TransferTexts.h"

#include <QTest>

using namespace vexa;

// Progress stepping, end reports and the window's transfer texts.
class TestTransfer : public QObject {
    Q_OBJECT

private slots:
    void progressClosesInByQuarters() {
        QCOMPARE(TransferProgress::Step(0, 100), 25);
        QCOMPARE(TransferProgress::Step(25, 100), 43);
        QCOMPARE(TransferProgress::Step(97, 100), 97); // stays up to 3 short
        QCOMPARE(TransferProgress::Step(96, 100), 97);
        QCOMPARE(TransferProgress::Step(60, 40), 60);  // never moves back
        int p = 0;
        for (int tick = 0; tick < 50; ++tick)
            p = TransferProgress::Step(p, 100);
        QCOMPARE(p, 97);
    }

    void endReportsAndTheirErrors() {
        auto r = TransferProgress::Decode(40, 0);
        QCOMPARE(r.percent, 40);
        QVERIFY(!r.ended);
        r = TransferProgress::Decode(100, 1);
        QVERIFY(r.ended);
        QCOMPARE(r.result, 0);
        QVERIFY(!TransferProgress::IsFailureReport(1));
        r = TransferProgress::Decode(100, 1 | (3 << 16));
        QCOMPARE(r.result, 3);
        QVERIFY(TransferProgress::IsFailureReport(1 | (3 << 16)));
        QVERIFY(TransferProgress::IsFailureReport(327679));
        QVERIFY(!TransferProgress::IsFailureReport(327680));
        QVERIFY(!TransferProgress::IsFailureReport(65535));
    }

    void waitTexts() {
        QCOMPARE(TransferTexts::WaitText(3, 3, 2, 2), QStringLiteral("Setting ID：3，Total:2，Last:2"));
        QCOMPARE(TransferTexts::WaitText(7, 9, 2, 1), QStringLiteral("Setting ID：9，Total:2，Last:1"));
        QCOMPARE(TransferTexts::WaitText(1, 9, 2, 1), QStringLiteral("设置 ID：9，总数量:2，待设置数量:1"));
        QCOMPARE(TransferTexts::WaitText(2, 255, 3, 3), QStringLiteral("設置 ID：255，總數量:3，待設置數量:3"));
    }

    void selectPortTexts() {
        QCOMPARE(TransferTexts::SelectPortFirst(7), QStringLiteral("please select a COM Port !"));
        QCOMPARE(TransferTexts::SelectPortFirst(1), QStringLiteral("请先选择串口!"));
        QCOMPARE(TransferTexts::SelectPortFirst(2), QStringLiteral("請先選擇串口!"));
    }
};

QTEST_GUILESS_MAIN(TestTransfer)
#include "tst_transfer.moc"
