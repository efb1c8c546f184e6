#include "SendFixture.h"
#include "link/families/LinkFamilies.h"

#include <QtTest>

using namespace vexa;
using namespace vexa::test;

namespace {

QStringList Labels(const FrameSequence& steps) {
    QStringList labels;
    for (const FrameStep& step : steps)
        labels << step.label;
    return labels;
}

// "pass 0 data 3-3 of 12, slice 3 of 12" for every one-byte slice of a pass.
QStringList OneByteSlices(int pass, int slices) {
    QStringList labels;
    for (int i = 0; i < slices; ++i)
        labels << QStringLiteral("pass %1 data %2-%2 of %3, slice %2 of %3").arg(pass).arg(i).arg(slices);
    return labels;
}

QStringList Repeated(const QString& pattern, int from, int to) {
    QStringList labels;
    for (int i = from; i <= to; ++i)
        labels << pattern.arg(i);
    return labels;
}

} // namespace

// What each family's builder says its frames are, for one send of each family.
class TestFrameLabels : public QObject {
    Q_OBJECT

private slots:
    void sendsOfEachFamily_data() {
        QTest::addColumn<int>("family");
        QTest::addColumn<QStringList>("labels");

        QTest::newRow("RowDirectory12")
            << 0
            << (QStringList{QStringLiteral("pass 0 start"),
                            QStringLiteral("pass 0 directory: slots 1; 12 data bytes")} +
                OneByteSlices(0, 12) +
                QStringList{QStringLiteral("pass 1 start"),
                            QStringLiteral("pass 1 directory: slots 1; 12 data bytes")} +
                OneByteSlices(1, 12));
        QTest::newRow("RowDirectory, 485")
            << 1
            << (QStringList{QStringLiteral("pass 0 start, sign 7"),
                            QStringLiteral("pass 0 directory: slots 1; 12 data bytes")} +
                OneByteSlices(0, 12));
        QTest::newRow("PagedBlocks, 485")
            << 2
            << (QStringList{
                    QStringLiteral(
                        "slot 0 header: 2 pages of 300 bytes, effect Left, speed 3, time 2, marquee off, "
                        "sign 7"),
                    QStringLiteral("slot 0 page 0 of 2, sign 7"),
                    QStringLiteral("slot 0 page 1 of 2, sign 7")} +
                Repeated(QStringLiteral("slot %1 empty, sign 7"), 1, 9));
        QTest::newRow("SlotTrailer")
            << 3
            << QStringList{QStringLiteral("slot 0 text: 5 bytes"),
                           QStringLiteral("trailer of slot 0: effect Down, speed 3, send on"),
                           QStringLiteral("trailer of slot 1: effect Left, speed 0, send off"),
                           QStringLiteral("trailer of slot 2: effect Left, speed 0, send off"),
                           QStringLiteral("trailer of slot 3: effect Left, speed 0, send off"),
                           QStringLiteral("trailer of slot 4: effect Left, speed 0, send off"),
                           QStringLiteral("trailer of slot 5: effect Left, speed 0, send off"),
                           QStringLiteral("trailer of slot 6: effect Left, speed 0, send off"),
                           QStringLiteral("trailer of slot 7: effect Left, speed 0, send off"),
                           QStringLiteral("trailer of slot 8: effect Left, speed 0, send off")};
        QTest::newRow("RowDirectoryPaired")
            << 4
            << (QStringList{QStringLiteral("pass 0 start"),
                            QStringLiteral("pass 0 directory: slots 1; 7 data bytes")} +
                OneByteSlices(0, 7) + QStringList{QStringLiteral("pause before pass 1")});
        QTest::newRow("AddressedBlocks")
            << 5
            << (QStringList{
                    QStringLiteral("end of slot 0, sign 7"),
                    QStringLiteral(
                        "block 48 of sign 7: slot 1 page 0 of 2, effect Snow, speed 3, time 2, marquee off"),
                    QStringLiteral("block 49 of sign 7: slot 1 page 1 of 2, marked last")} +
                Repeated(QStringLiteral("end of slot %1, sign 7"), 1, 9));
    }

    void sendsOfEachFamily() {
        QFETCH(int, family);
        QFETCH(QStringList, labels);
        const auto code = LinkFamily(family);
        const int rows = code == LinkFamily::RowDirectory                 ? 12
                         : code == LinkFamily::PagedBlocks || family == 5 ? 16
                                                                          : 7;
        const int slotCount = family == 2 || family == 5 ? 10 : family == 3 ? 9 : 8;
        SendFixture f(code, rows, slotCount);
        f.inputs.currentId = 7;
        f.inputs.effectListSet = family == 2 || family == 5 ? 1 : family == 4 ? 2 : 0;
        switch (code) {
        case LinkFamily::RowDirectory12:
            f.Select(1, Counting(12, 0), Counting(12, 0x40));
            break;
        case LinkFamily::RowDirectory:
            f.inputs.address485 = true;
            f.Select(1, Counting(12, 0));
            break;
        case LinkFamily::RowDirectoryPaired:
            f.Select(1, Counting(7, 0));
            break;
        case LinkFamily::PagedBlocks:
            f.inputs.address485 = true;
            f.Select(0, Counting(300, 0));
            f.Slot(0) = {1, 3, 2, 0, 0, 1};
            break;
        case LinkFamily::SlotTrailer:
            f.Select(0, QByteArray("HELLO"));
            f.Slot(0) = {3, 3, 0, 0, 0, 1};
            break;
        case LinkFamily::AddressedBlocks:
            f.Select(1, Counting(300, 0));
            f.Slot(1) = {5, 3, 2, 0, 0, 1};
            break;
        }
        QCOMPARE(Labels(LinkFamilies::SendSequence(f.inputs)), labels);
    }

    void commandFrames() {
        const QDateTime sunday(QDate(2015, 3, 8), QTime(14, 5, 9));
        QCOMPARE(LinkFamilies::PowerStep(3, true).label, QStringLiteral("power on, sign 3"));
        QCOMPARE(LinkFamilies::PowerStep(3, false).label, QStringLiteral("power off, sign 3"));
        QCOMPARE(LinkFamilies::ScanSequence().back().label, QStringLiteral("scan probe, ID 254"));
        QCOMPARE(LinkFamilies::ReadIdStep(LinkFamily::AddressedBlocks).label, QStringLiteral("read ID"));
        QCOMPARE(LinkFamilies::SetIdStep(LinkFamily::RowDirectory, 5, 9).label,
                 QStringLiteral("set ID 5 to 9"));
        QCOMPARE(LinkFamilies::ClockStep(LinkFamily::PagedBlocks, sunday).label,
                 QStringLiteral("clock 2015-03-08 14:05:09, Sunday"));
        QCOMPARE(LinkFamilies::ClockStep(LinkFamily::SlotTrailer, sunday).label,
                 QStringLiteral("clock 14:05:09"));
    }
};

QTEST_GUILESS_MAIN(TestFrameLabels)
#include "tst_framelabels.moc"
