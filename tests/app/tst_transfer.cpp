#include "app/TransferProgress.h"

#include <QTest>

using namespace vexa;

// Progress stepping and end reports of a transfer.
class TestTransfer : public QObject {
    Q_OBJECT

private slots:
    void progressClosesInByQuarters() {
        QCOMPARE(TransferProgress::Step(0, 100), 25);
        QCOMPARE(TransferProgress::Step(25, 100), 43);
        QCOMPARE(TransferProgress::Step(97, 100), 97); // stays up to 3 short
        QCOMPARE(TransferProgress::Step(96, 100), 97);
        QCOMPARE(TransferProgress::Step(60, 40), 60); // never moves back
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
};

QTEST_GUILESS_MAIN(TestTransfer)
#include "tst_transfer.moc"
