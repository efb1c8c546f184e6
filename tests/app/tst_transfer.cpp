#include "app/SendQueue.h"
#include "app/TransferProgress.h"
#include "app/TransferTexts.h"
#include "store/CIdList.h"

#include <QTest>

using namespace vexa;

// Progress stepping, end reports, the multi-sign queue and its texts.
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
        QCOMPARE(TransferProgress::ResultText(3), QStringLiteral("Send Failure!"));
        QCOMPARE(TransferProgress::ResultText(1), QStringLiteral("Open COM Port Failure!"));
        QCOMPARE(TransferProgress::ResultText(2), QStringLiteral("Close COM Port Failure!"));
        QCOMPARE(TransferProgress::ResultText(4), QStringLiteral("Read Failure!"));
        QVERIFY(TransferProgress::IsFailureReport(327679));
        QVERIFY(!TransferProgress::IsFailureReport(327680));
        QVERIFY(!TransferProgress::IsFailureReport(65535));
    }

    void queueOfTickedSigns() {
        CIdList list;
        list.Clear();
        list.entries[9] = {QStringLiteral("B"), 1, 1, 0};
        list.entries[3] = {QStringLiteral("A"), 4, 2, 0};
        list.entries[5] = {QStringLiteral("not ticked"), 1, 0, 0};
        list.entries[7] = {QStringLiteral("in no group"), 0, 1, 0};
        SendQueue q;
        QVERIFY(q.Start(list));
        QCOMPARE(q.Count(), 2);
        QCOMPARE(q.CurrentId(), 3);
        QCOMPARE(q.WaitText(3), QStringLiteral("Setting ID：3，Total:2，Last:2"));
        QVERIFY(q.Advance());
        QCOMPARE(q.CurrentId(), 9);
        QCOMPARE(q.WaitText(3), QStringLiteral("Setting ID：9，Total:2，Last:1"));
        QCOMPARE(q.WaitText(1), QStringLiteral("设置 ID：9，总数量:2，待设置数量:1"));
        QVERIFY(!q.Advance());
        QVERIFY(q.Finished());
        QCOMPARE(q.CurrentId(), 0);
    }

    void stopEndsAfterTheCurrentSign() {
        CIdList list;
        list.Clear();
        for (int id : {2, 4, 6})
            list.entries[static_cast<size_t>(id)] = {QString(), 1, 1, 0};
        SendQueue q;
        QVERIFY(q.Start(list));
        q.StopAfterCurrent();
        QVERIFY(q.Finished());
        QVERIFY(!q.Advance());
        list.Clear();
        QVERIFY(!q.Start(list));
        q.Clear();
        QVERIFY(q.Finished()); // a single-sign send leaves nothing to continue
    }

    void languageTexts() {
        QCOMPARE(TransferTexts::NoIdSelected(3), QStringLiteral("No ID selected?"));
        QCOMPARE(TransferTexts::NoIdSelected(2), QStringLiteral("請至少選擇一個ID？"));
        QCOMPARE(TransferTexts::SelectPortFirst(7), QStringLiteral("please select a COM Port !"));
        QCOMPARE(TransferTexts::DataOver(3, 167),
                 QStringLiteral("Data over 167 words, will be discard!\r\nContinue Send?"));
        QCOMPARE(TransferTexts::DataOver(1, 5), QStringLiteral("数据超过5个字, 将会丢弃!\r\n继续发送吗?"));
    }
};

QTEST_GUILESS_MAIN(TestTransfer)
#include "tst_transfer.moc"
