#include "SendFixture.h"
#include "link/families/LinkFamilies.h"
#include "link/families/addressed_blocks/AddressedBlocksFamily.h"
#include "link/families/paged_blocks/PagedBlocksFamily.h"
#include "link/families/slot_trailer/SlotTrailerFamily.h"

#include <QtTest>

using namespace vexa;

using namespace vexa::test;
using Fixture = SendFixture;

class TestFamiliesBlocks : public QObject {
    Q_OBJECT

private slots:
    // Family 3: message bytes only for selected slots with data, a trailer for every slot.
    void slotTrailerSequence() {
        Fixture f(LinkFamily::SlotTrailer, 7, 9);
        f.Select(0, QByteArray("AB"));
        f.Slot(0).speed = 3;
        f.Slot(0).effect = 6;
        f.payload.At(0, 1).Assign("unselected");
        f.Slot(2).sendFlag = 1;
        const FrameSequence steps = LinkFamilies::SendSequence(f.inputs);
        QCOMPARE(steps.size(), size_t(1 + 9));
        QCOMPARE(steps[0], (FrameStep{Hex("4142"), 0, 1, {}}));
        QCOMPARE(steps[1], (FrameStep{Hex("FAAFFFFF 30 03 06 FF FFFFFF 5A"), 20, 12, {}}));
        QCOMPARE(steps[2], (FrameStep{Hex("FAAFFFFF 31 00 00 FF FFFFFF FF"), 20, 23, {}}));
        QCOMPARE(steps[3], (FrameStep{Hex("FAAFFFFF 32 00 00 FF FFFFFF 5A"), 20, 34, {}}));
        QCOMPARE(steps[9], (FrameStep{Hex("FAAFFFFF 38 00 00 FF FFFFFF FF"), 20, 100, {}}));
    }

    void slotTrailerAllUnselectedStillSendsTrailers() {
        Fixture f(LinkFamily::SlotTrailer, 7, 9);
        for (int j = 0; j < 9; ++j)
            f.payload.At(0, j).Assign("x");
        const FrameSequence steps = LinkFamilies::SendSequence(f.inputs);
        QCOMPARE(steps.size(), size_t(9));
        for (int j = 0; j < 9; ++j) {
            QCOMPARE(steps[size_t(j)].bytes.size(), 12);
            QCOMPARE(int(uchar(steps[size_t(j)].bytes[4])), 0x30 + j);
        }
    }

    // The 300-byte entry: pages 0 and 1 (44 data bytes and 212 FF), header counts 300 / U.
    void pagedBlocksSequence() {
        Fixture f(LinkFamily::PagedBlocks, 16, 10);
        f.inputs.pageWidth = 64;
        f.Select(0, Counting(300, 0));
        f.Slot(0).effect = 5;
        f.Slot(0).speed = 2;
        f.Slot(0).holdTime = 4;
        f.Slot(0).marquee = 1;
        f.payload.At(0, 1).Assign(Counting(10, 0));
        const FrameSequence steps = LinkFamilies::SendSequence(f.inputs);
        QCOMPARE(steps.size(), size_t(10 + 2));

        QByteArray header(273, '\0');
        header.replace(0, 22, Hex("AAAAAAAA 01 00 00 00 01 00 00 40 10 00 AA 55 0001 05 02 04 01"));
        header[272] = char(0x88);
        QCOMPARE(steps[0].bytes, header);

        QByteArray page0(273, '\0');
        page0.replace(0, 14, Hex("AAAAAAAA 01 00 10 01 01 00 00 40 10 00"));
        page0.replace(14, 256, Counting(256, 0));
        page0[272] = char(0x88);
        QCOMPARE(steps[1].bytes, page0);

        QByteArray page1(273, '\0');
        page1.replace(0, 14, Hex("AAAAAAAA 01 00 11 01 01 00 00 40 10 00"));
        page1.replace(14, 256, Counting(44, 0) + QByteArray(212, char(0xFF)));
        page1[272] = char(0x88);
        QCOMPARE(steps[2].bytes, page1);

        QByteArray empty(273, '\0');
        empty.replace(0, 14, Hex("AAAAAAAA 01 00 00 01 01 00 00 40 10 01"));
        empty[272] = char(0x88);
        QCOMPARE(steps[3].bytes, empty);

        // Progress counts the pages of every slot with bytes, the unselected one included.
        QCOMPARE(Progress(steps), (QList<int>{7, 15, 23, 30, 38, 46, 53, 61, 69, 76, 84, 92}));
        QCOMPARE(Pauses(steps),
                 (QList<int>{1000, 500, 500, 1000, 1000, 1000, 1000, 1000, 1000, 1000, 1000, 1000}));
    }

    void pagedBlocksUnitAndAddress() {
        QCOMPARE(PagedBlocksFamily::UnitSize(0), 256);
        QCOMPARE(PagedBlocksFamily::UnitSize(48), 256);
        QCOMPARE(PagedBlocksFamily::UnitSize(96), 384);
        QCOMPARE(PagedBlocksFamily::UnitSize(256), 1024);

        Fixture f(LinkFamily::PagedBlocks, 16, 10);
        f.inputs.pageWidth = 96;
        f.inputs.address485 = true;
        f.inputs.currentId = 0x12C;
        f.Select(3, Counting(768, 0));
        const QByteArray header = PagedBlocksFamily::MessageHeaderFrame(f.inputs, 3);
        QCOMPARE(header.left(4), Hex("AAAA2C2C"));
        QCOMPARE(header.mid(13, 5), Hex("03 AA55 0002"));
        QCOMPARE(PagedBlocksFamily::EmptyHeaderFrame(f.inputs, 0).left(4), Hex("AAAA2C2C"));
        QCOMPARE(PagedBlocksFamily::PageFrame(f.inputs, 3, 2).left(8), Hex("AAAA2C2C 01 00 12 01"));
    }

    void pagedBlocksAllUnselectedStillSendsHeaders() {
        Fixture f(LinkFamily::PagedBlocks, 16, 10);
        const FrameSequence steps = LinkFamilies::SendSequence(f.inputs);
        QCOMPARE(steps.size(), size_t(10));
        for (size_t j = 0; j < steps.size(); ++j) {
            QCOMPARE(int(uchar(steps[j].bytes[7])), 1);
            QCOMPARE(int(uchar(steps[j].bytes[13])), int(j));
        }
        QCOMPARE(steps.back().progress, 100);
    }

    // The same 300-byte entry in family 5: blocks 48j and 48j + 1, the last block zero-filled
    // after its 44 data bytes; byte 2 turns 99 on that last page and stays 99.
    void addressedBlocksSequence() {
        Fixture f(LinkFamily::AddressedBlocks, 16, 10);
        f.inputs.currentId = 7;
        f.Select(1, Counting(300, 0x10));
        f.Slot(1).effect = 5;
        f.Slot(1).speed = 3;
        f.Slot(1).holdTime = 2;
        f.Slot(1).marquee = 1;
        f.Select(2, Counting(20, 0));
        f.Slot(2).effect = 6;
        const FrameSequence steps = LinkFamilies::SendSequence(f.inputs);
        // end 0 | block, block, end 1 | block, end 2 | ends 3..9
        QCOMPARE(steps.size(), size_t(1 + 3 + 2 + 7));
        QCOMPARE(steps[0].bytes, Hex("7E07CD0000 00FE7E"));

        QByteArray block0(276, '\0');
        block0.replace(0, 5, Hex("7E07DD0030"));
        block0.replace(11, 7, Hex("00 02 0C 03 02 01 02"));
        block0.replace(19, 256, Counting(256, 0x10));
        block0[275] = char(0x88);
        QCOMPARE(steps[1].bytes, block0);

        QByteArray block1(276, '\0');
        block1.replace(0, 5, Hex("7E07990031"));
        block1.replace(19, 44, Counting(44, 0x10 + 256));
        block1[275] = char(0x88);
        QCOMPARE(steps[2].bytes, block1);
        QCOMPARE(steps[3].bytes, Hex("7E07CD0030 00FE7E"));

        // A single-page message after the mark was set still carries 99.
        QCOMPARE(steps[4].bytes.left(5), Hex("7E07990060"));
        QCOMPARE(steps[4].bytes.mid(11, 7), Hex("00 02 0E 00 00 00 01"));
        QCOMPARE(steps[5].bytes, Hex("7E07CD0060 00FE7E"));
        QCOMPARE(steps[12].bytes, Hex("7E07CD01B0 00FE7E"));

        QCOMPARE(Progress(steps), (QList<int>{7, 15, 23, 30, 38, 46, 53, 61, 69, 76, 84, 92, 100}));
        for (const FrameStep& step : steps)
            QCOMPARE(step.pauseAfterMs, 0);
    }

    void addressedBlocksMarkOnlyAfterMultiPage() {
        Fixture f(LinkFamily::AddressedBlocks, 16, 10);
        f.Select(0, Counting(256, 0));
        f.Select(1, Counting(10, 0));
        const FrameSequence steps = LinkFamilies::SendSequence(f.inputs);
        QCOMPARE(int(uchar(steps[0].bytes[2])), 0xDD);
        QCOMPARE(int(uchar(steps[2].bytes[2])), 0xDD);
        QCOMPARE(int(uchar(steps[0].bytes[17])), 1);
    }

    void addressedBlocksAllUnselectedStillSendsEnds() {
        Fixture f(LinkFamily::AddressedBlocks, 16, 10);
        f.inputs.currentId = 2;
        f.payload.At(0, 0).Assign(Counting(600, 0));
        const FrameSequence steps = LinkFamilies::SendSequence(f.inputs);
        QCOMPARE(steps.size(), size_t(10));
        for (int j = 0; j < 10; ++j)
            QCOMPARE(steps[size_t(j)].bytes, AddressedBlocksFamily::MessageEndFrame(2, j));
        // The unselected three pages stay in the denominator: 10 of 13 frames.
        QCOMPARE(steps.back().progress, 76);
    }

    void effectCodes_data() {
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("code");
        const int codes[] = {0x01, 0x04, 0x05, 0x06, 0x07, 0x0C, 0x0E};
        for (int i = 0; i < 7; ++i)
            QTest::addRow("index %d", i) << i << codes[i];
        QTest::newRow("beyond the list") << 7 << 0x01;
        QTest::newRow("negative") << -1 << 0x01;
    }
    void effectCodes() {
        QFETCH(int, index);
        QFETCH(int, code);
        QCOMPARE(AddressedBlocksFamily::EffectCode(index), code);
    }

    void groupProgressScaling() {
        QCOMPARE(AddressedBlocksFamily::GroupProgress(50, 0, 1), 50);
        QCOMPARE(AddressedBlocksFamily::GroupProgress(100, 0, 3), 33);
        QCOMPARE(AddressedBlocksFamily::GroupProgress(50, 1, 3), 50);
        QCOMPARE(AddressedBlocksFamily::GroupProgress(100, 2, 3), 100);
        QCOMPARE(AddressedBlocksFamily::GroupProgress(0, 1, 4), 25);

        Fixture f(LinkFamily::AddressedBlocks, 16, 10);
        f.inputs.groupIndex = 1;
        f.inputs.groupCount = 2;
        const FrameSequence steps = LinkFamilies::SendSequence(f.inputs);
        QCOMPARE(steps.front().progress, 55);
        QCOMPARE(steps.back().progress, 100);
    }
};

QTEST_GUILESS_MAIN(TestFamiliesBlocks)
#include "tst_families_blocks.moc"
