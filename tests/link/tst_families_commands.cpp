#include "link/families/CommandFrames.h"
#include "link/families/LinkFamilies.h"

#include <QtTest>

using namespace vexa;

namespace {

QByteArray Hex(const char* text) {
    return QByteArray::fromHex(QByteArray(text));
}

// Sunday, 8 March 2015, 14:05:09.
QDateTime SampleTime() {
    return QDateTime(QDate(2015, 3, 8), QTime(14, 5, 9));
}

} // namespace

class TestFamiliesCommands : public QObject {
    Q_OBJECT

private slots:
    void powerFrames() {
        QCOMPARE(LinkFamilies::PowerFrame(5, true), Hex("7E05CF00D07E"));
        QCOMPARE(LinkFamilies::PowerFrame(5, false), Hex("7E05CF01D17E"));
        QCOMPARE(LinkFamilies::PowerFrame(0x1FF, true), Hex("7EFFCF00D07E"));
    }

    void scanProbesEveryIdOnce() {
        const FrameSequence steps = LinkFamilies::ScanSequence();
        QCOMPARE(steps.size(), size_t(254));
        QCOMPARE(steps.front().bytes, Hex("7E01F20000007E"));
        QCOMPARE(steps.back().bytes, Hex("7EFEF20000007E"));
        for (size_t i = 0; i < steps.size(); ++i) {
            const int id = int(i) + 1;
            QCOMPARE(int(uchar(steps[i].bytes[1])), id);
            QCOMPARE(steps[i].pauseAfterMs, 20);
        }
        // ID × 100 / 255 truncated: exact multiples of 51 land on whole percents.
        QCOMPARE(steps[0].progress, 0);
        QCOMPARE(steps[2].progress, 1);
        QCOMPARE(steps[50].progress, 20);
        QCOMPARE(steps[203].progress, 80);
        QCOMPARE(steps[253].progress, 99);
    }

    void readAndSetId_data() {
        QTest::addColumn<int>("family");
        QTest::addColumn<QByteArray>("readId");
        QTest::addColumn<QByteArray>("setId");
        for (int family : {0, 1, 2, 3, 4})
            QTest::addRow("family %d", family) << family << Hex("48656C966F") << Hex("4803099A6F");
        QTest::newRow("family 5") << 5 << Hex("7E01F20000007E") << Hex("7E031D09007E");
    }
    void readAndSetId() {
        QFETCH(int, family);
        QFETCH(QByteArray, readId);
        QFETCH(QByteArray, setId);
        QCOMPARE(LinkFamilies::ReadIdFrame(LinkFamily(family)), readId);
        QCOMPARE(LinkFamilies::SetIdFrame(LinkFamily(family), 3, 9), setId);
    }

    void clockFrames_data() {
        QTest::addColumn<int>("family");
        QTest::addColumn<QByteArray>("frame");
        const QByteArray wide = Hex("AAAAAAAA 02 00 00 01 00 08 00 40 10 00 07DF 03 08 0E 05 09 02 01 55 88");
        for (int family : {0, 1, 2, 4})
            QTest::addRow("family %d", family) << family << wide;
        QTest::newRow("family 3") << 3 << QByteArray("14:05:09") + Hex("FAAFFFFF 303330 FFFFFFFF 7A");
        QTest::newRow("family 5") << 5 << Hex("7E01F10000 09 05 0E 08 03 00 DF 4D7E");
    }
    void clockFrames() {
        QFETCH(int, family);
        QFETCH(QByteArray, frame);
        QCOMPARE(LinkFamilies::ClockFrame(LinkFamily(family), SampleTime()), frame);
    }

    void clockWeekdayAndYear() {
        // Thursday 31 December 2099, 23:59:58.
        const QDateTime late(QDate(2099, 12, 31), QTime(23, 59, 58));
        QCOMPARE(LinkFamilies::ClockFrame(LinkFamily::AddressedBlocks, late),
                 Hex("7E01F10000 3A 3B 17 1F 0C 04 33 4D7E"));
        QCOMPARE(LinkFamilies::ClockFrame(LinkFamily::RowDirectory, late).mid(13, 8),
                 Hex("04 0833 0C 1F 17 3B 3A"));
    }

    // Every registered family builds a sequence that writes the selected entry, reports
    // progress that never falls and ends at 100.
    void registryWalksAllFamilies() {
        QCOMPARE(LinkFamilies::All().size(), size_t(6));
        for (int code = 0; code < 6; ++code) {
            const LinkFamilies::Family* family = LinkFamilies::Find(LinkFamily(code));
            QVERIFY(family != nullptr);
            QCOMPARE(int(family->code), code);
        }
        QVERIFY(LinkFamilies::Find(LinkFamily(6)) == nullptr);

        for (const LinkFamilies::Family& family : LinkFamilies::All()) {
            Payload payload;
            SendInputs inputs;
            inputs.family = family.code;
            inputs.rows = family.code == LinkFamily::RowDirectory ? 12 : 7;
            inputs.slotCount = 8;
            inputs.payload = &payload;
            SendInputsAccess::Slot(inputs, 1).sendFlag = 1;
            QByteArray entry;
            for (int i = 0; i < 84; ++i)
                entry.append(char(0x30 + i % 40));
            payload.At(0, 1).Assign(entry);
            payload.At(1, 1).Assign(entry);

            const FrameSequence steps = family.sendSequence(inputs);
            QVERIFY2(!steps.empty(), family.name);
            QByteArray wire;
            int last = 0;
            for (const FrameStep& step : steps) {
                wire += step.bytes;
                QVERIFY(!step.bytes.isEmpty() || step.pauseAfterMs > 0);
                if (step.progress >= 0) {
                    QVERIFY2(step.progress >= last, family.name);
                    last = step.progress;
                }
            }
            QCOMPARE(last, 100);
            QVERIFY2(wire.contains(entry.left(2)), family.name);
            QCOMPARE(LinkFamilies::SendSequence(inputs), steps);
        }
        SendInputs unknown;
        unknown.family = LinkFamily(9);
        QVERIFY(LinkFamilies::SendSequence(unknown).empty());
        QVERIFY(LinkFamilies::ClockFrame(LinkFamily(9), SampleTime()).isEmpty());
    }

    // No payload at all: families still build their frames without touching memory.
    void missingPayloadIsEmpty() {
        SendInputs inputs;
        inputs.payload = nullptr;
        inputs.family = LinkFamily::PagedBlocks;
        inputs.slotCount = 10;
        SendInputsAccess::Slot(inputs, 0).sendFlag = 1;
        QCOMPARE(LinkFamilies::SendSequence(inputs).size(), size_t(10));
        inputs.family = LinkFamily::RowDirectory;
        QVERIFY(LinkFamilies::SendSequence(inputs).empty());
        inputs.slotCount = 99;
        inputs.family = LinkFamily::AddressedBlocks;
        QCOMPARE(LinkFamilies::SendSequence(inputs).size(), size_t(10));
    }
};

QTEST_GUILESS_MAIN(TestFamiliesCommands)
#include "tst_families_commands.moc"
