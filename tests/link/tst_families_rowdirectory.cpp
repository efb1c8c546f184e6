#include "SendFixture.h"
#include "link/families/LinkFamilies.h"
#include "link/families/row_directory/RowDirectoryFamily.h"

#include <QtTest>

using namespace vexa;

Q_DECLARE_METATYPE(std::vector<vexa::RowDirectoryFamily::Piece>)

using namespace vexa::test;
using Fixture = SendFixture;

class TestFamiliesRowDirectory : public QObject {
    Q_OBJECT

private slots:
    void attributeByte_data() {
        QTest::addColumn<int>("speed");
        QTest::addColumn<int>("marquee");
        QTest::addColumn<int>("effect");
        QTest::addColumn<int>("blink");
        QTest::addColumn<int>("expected");
        QTest::newRow("all on") << 7 << 1 << 7 << 1 << 0xFF;
        QTest::newRow("effect only") << 0 << 0 << 7 << 0 << 0x07;
        QTest::newRow("speed 3 marquee") << 3 << 1 << 2 << 0 << 0xB2;
        QTest::newRow("blink adds 8") << 1 << 0 << 0 << 1 << 0x18;
        QTest::newRow("wraps at 256") << 8 << 1 << 0 << 0 << 0x00;
    }
    void attributeByte() {
        QFETCH(int, speed);
        QFETCH(int, marquee);
        QFETCH(int, effect);
        QFETCH(int, blink);
        QFETCH(int, expected);
        SlotParams slot;
        slot.speed = speed;
        slot.marquee = marquee;
        slot.effect = effect;
        slot.blink = blink;
        QCOMPARE(RowDirectoryFamily::AttributeByte(slot), expected);
    }

    void passHeaders() {
        using H = RowDirectoryFamily::HeaderSet;
        QCOMPARE(RowDirectoryFamily::PassHeader(H::First, 0, false, 9), Hex("48656C6C6F"));
        QCOMPARE(RowDirectoryFamily::PassHeader(H::First, 1, false, 9), Hex("96050FAAAA"));
        QCOMPARE(RowDirectoryFamily::PassHeader(H::Second, 0, false, 9), Hex("48656C6C6F"));
        QCOMPARE(RowDirectoryFamily::PassHeader(H::Second, 1, false, 9), Hex("4865965AF0"));
        // 485 addressing puts the low 8 bits of the ID into byte 2.
        QCOMPARE(RowDirectoryFamily::PassHeader(H::First, 0, true, 0x105), Hex("4865056C6F"));
        QCOMPARE(RowDirectoryFamily::PassHeader(H::First, 1, true, 200), Hex("9605C8AAAA"));
        QCOMPARE(RowDirectoryFamily::PassHeader(H::Second, 1, true, 3), Hex("4865035AF0"));
    }

    void familyParameters() {
        const auto p0 = RowDirectoryFamily::ParamsFor(LinkFamily::RowDirectory12, 7);
        QCOMPARE(p0.sliceCount, 12);
        QCOMPARE(p0.pauseBeforeSecondPassMs, 0);
        const auto p1 = RowDirectoryFamily::ParamsFor(LinkFamily::RowDirectory, 12);
        QCOMPARE(p1.sliceCount, 12);
        QVERIFY(p1.headers == RowDirectoryFamily::HeaderSet::First);
        const auto p4 = RowDirectoryFamily::ParamsFor(LinkFamily::RowDirectoryPaired, 7);
        QCOMPARE(p4.sliceCount, 7);
        QVERIFY(p4.headers == RowDirectoryFamily::HeaderSet::Second);
        QCOMPARE(p4.pauseBeforeSecondPassMs, 320);
    }

    // Family 0, slot 2 unselected: its entry keeps the running offset with length 0000 and
    // its attribute byte is still filled in. Two passes, pieces of one slice width.
    void familyZeroFullSequence() {
        Fixture f(LinkFamily::RowDirectory12, 7);
        f.Select(0, Counting(24, 0x00), Counting(12, 0x20));
        f.Select(1, Counting(12, 0x40));
        f.payload.At(0, 2).Assign(Counting(36, 0x60));
        f.Slot(2).speed = 7;
        f.Slot(2).marquee = 1;
        f.Slot(2).effect = 7;
        f.Slot(2).blink = 1;
        f.Select(3, Counting(36, 0x80));
        f.Slot(0).effect = 7;

        const FrameSequence steps = LinkFamilies::SendSequence(f.inputs);
        // Pass 0: header, directory, 72 bytes in 12 pieces of 6; pass 1: header, directory, 12 pieces of 1.
        QCOMPARE(steps.size(), size_t(2 + 12 + 2 + 12));

        QCOMPARE(steps[0], (FrameStep{Hex("48656C6C6F"), 0, 2, {}}));
        const QByteArray directory0 = Hex("00 07 00 FF 00 00 00 00 00 00"
                                          "08000002 08020001 08030000 08030003"
                                          "08060000 08060000 08060000 08060000");
        QCOMPARE(steps[1], (FrameStep{directory0, 330, 26, {}}));
        QCOMPARE(steps[2], (FrameStep{Hex("0001 40 808182"), 30, 29, {}}));
        QCOMPARE(steps[3], (FrameStep{Hex("0203 41 838485"), 30, 33, {}}));
        QCOMPARE(steps[13], (FrameStep{Hex("1617 4B A1A2A3"), 30, 66, {}}));

        QCOMPARE(steps[14], (FrameStep{Hex("96050FAAAA"), 0, 69, {}}));
        const QByteArray directory1 = Hex("00 07 00 FF 00 00 00 00 00 00"
                                          "08000001 08010000 08010000 08010000"
                                          "08010000 08010000 08010000 08010000");
        QCOMPARE(steps[15], (FrameStep{directory1, 330, 93, {}}));
        const QList<int> progress{93, 94, 94, 95, 96, 96, 97, 97, 98, 98, 99, 100};
        for (int k = 0; k < 12; ++k)
            QCOMPARE(steps[size_t(16 + k)], (FrameStep{QByteArray(1, char(0x20 + k)), 30, progress[k], {}}));
    }

    void familyFourPairedPasses() {
        Fixture f(LinkFamily::RowDirectoryPaired, 7);
        f.inputs.address485 = true;
        f.inputs.currentId = 3;
        f.Select(0, Counting(14, 0x10), Counting(7, 0x50));
        const FrameSequence steps = LinkFamilies::SendSequence(f.inputs);
        // header, directory, 7 pieces of 2 | pause | header, directory, 7 pieces of 1
        QCOMPARE(steps.size(), size_t(9 + 1 + 9));
        QCOMPARE(steps[0].bytes, Hex("4865036C6F"));
        QCOMPARE(steps[1].bytes.mid(10, 4), Hex("08000002"));
        QCOMPARE(steps[2], (FrameStep{Hex("1011"), 30, steps[2].progress, {}}));
        QCOMPARE(steps[8].bytes, Hex("1C1D"));
        QCOMPARE(steps[9], (FrameStep{QByteArray(), 320, -1, {}}));
        QCOMPARE(steps[10].bytes, Hex("4865035AF0"));
        QCOMPARE(steps.back(), (FrameStep{Hex("56"), 30, 100, {}}));
    }

    void emptyPassesSendNothing() {
        Fixture one(LinkFamily::RowDirectory, 12);
        one.Select(1, Counting(24, 0));
        const FrameSequence steps = LinkFamilies::SendSequence(one.inputs);
        QCOMPARE(steps.front().bytes, Hex("48656C6C6F"));
        for (const FrameStep& step : steps)
            QVERIFY2(step.bytes != Hex("96050FAAAA"), "a pass without data sent its header");
        QCOMPARE(steps.back().progress, 100);

        // Selected slots with empty entries and data in unselected slots: nothing at all.
        Fixture none(LinkFamily::RowDirectory12, 7);
        none.Slot(0).sendFlag = 1;
        none.payload.At(0, 1).Assign(Counting(24, 0));
        QVERIFY(LinkFamilies::SendSequence(none.inputs).empty());

        // Family 4 still keeps its pause between the passes, and writes nothing.
        Fixture paired(LinkFamily::RowDirectoryPaired, 7);
        const FrameSequence pauses = LinkFamilies::SendSequence(paired.inputs);
        QCOMPARE(pauses.size(), size_t(1));
        QVERIFY(pauses[0].bytes.isEmpty());
    }

    void pieces_data() {
        using Piece = RowDirectoryFamily::Piece;
        QTest::addColumn<int>("dataSize");
        QTest::addColumn<int>("sliceCount");
        QTest::addColumn<std::vector<Piece>>("expected");
        QTest::newRow("empty") << 0 << 12 << std::vector<Piece>{};
        QTest::newRow("W 50 across 256 boundaries")
            << 600 << 12
            << std::vector<Piece>{{50, 30}, {50, 30}, {50, 30}, {50, 30}, {50, 30},  {6, 330}, {44, 30},
                                  {50, 30}, {50, 30}, {50, 30}, {50, 30}, {12, 330}, {38, 30}, {50, 30}};
        QTest::newRow("W equal to 256") << 512 << 2 << std::vector<Piece>{{256, 330}, {256, 330}};
        QTest::newRow("W 0 is not divided by") << 5 << 12 << std::vector<Piece>{{5, 330}};
        QTest::newRow("tail shorter than a slice")
            << 25 << 12 << std::vector<Piece>{{2, 30}, {2, 30}, {2, 30}, {2, 30}, {2, 30}, {2, 30}, {2, 30},
                                              {2, 30}, {2, 30}, {2, 30}, {2, 30}, {2, 30}, {1, 30}};
    }
    void pieces() {
        QFETCH(int, dataSize);
        QFETCH(int, sliceCount);
        QFETCH(std::vector<RowDirectoryFamily::Piece>, expected);
        QVERIFY(RowDirectoryFamily::Pieces(dataSize, sliceCount) == expected);
    }

    // Lengths that are not whole slices: every slice takes length / S bytes, the rest of the
    // block is zero fill, and the pieces still cover exactly the block.
    void unevenLengthsAreZeroFilled() {
        Fixture f(LinkFamily::RowDirectory, 12);
        f.Select(0, Counting(25, 1));
        const QByteArray block = RowDirectoryFamily::DataBlock(f.inputs, 0, 12);
        QCOMPARE(block.size(), 25);
        QCOMPARE(block.left(24), Counting(24, 1));
        QCOMPARE(block.at(24), '\0');
        const FrameSequence steps = LinkFamilies::SendSequence(f.inputs);
        QByteArray sent;
        for (size_t i = 2; i < steps.size(); ++i)
            sent += steps[i].bytes;
        QCOMPARE(sent, block);
        QCOMPARE(steps.back().progress, 100);
    }

    // An entry whose recorded length exceeds its bytes is cut to the bytes held.
    void lengthBeyondBytesIsBounded() {
        Fixture f(LinkFamily::RowDirectory, 12);
        f.Select(0, Counting(12, 1));
        f.payload.At(0, 0).length = 5000;
        const QByteArray directory = RowDirectoryFamily::DirectoryFrame(f.inputs, 0, 12);
        QCOMPARE(directory.mid(10, 4), Hex("08000001"));
        QCOMPARE(RowDirectoryFamily::DataBlock(f.inputs, 0, 12), Counting(12, 1));
    }
};

QTEST_GUILESS_MAIN(TestFamiliesRowDirectory)
#include "tst_families_rowdirectory.moc"
