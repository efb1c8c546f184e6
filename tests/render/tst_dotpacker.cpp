#include "core/ModelCatalogue.h"
#include "core/SignColours.h"
#include "render/BmpWriter.h"
#include "render/DotPacker.h"
#include "render/SendPreparation.h"
#include "store/CMessageTable.h"

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

using namespace vexa;

namespace {

constexpr QRgb kBlack = 0xFF000000, kRed = 0xFFFF0000, kGreen = 0xFF00FF00, kYellow = 0xFFFFFF00;

QImage Bitmap(int width, int height) {
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(kBlack);
    return image;
}

DotPacker::Params OneBit(int plane = 0) {
    DotPacker::Params p;
    p.colourPlane = plane;
    return p;
}

DotPacker::Params TwoBit(int family, int columns, bool date = false, int rows = 16) {
    DotPacker::Params p;
    p.family = family;
    p.bitsPerDot = 2;
    p.pageColumns = columns;
    p.date = date;
    p.rows = rows;
    return p;
}

// A bitmap of pixels drawn from exact sign colours, near misses, other colours and
// transparency, so both the vector and the scalar paths meet every case.
QImage RandomBitmap(int width, int height, QRandomGenerator& random) {
    static constexpr QRgb kPixels[] = {kBlack,     kRed,       kGreen,     kYellow,    0x00000000,
                                       0x80FF0000, 0xFFFE0000, 0xFF0000FF, 0xFF808080, 0xFFFFFFFF};
    QImage image = Bitmap(width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, kPixels[random.bounded(int(std::size(kPixels)))]);
    }
    return image;
}

bool BitAt(const QByteArray& bytes, qsizetype index, int bit) {
    return (uchar(bytes.at(index)) >> bit & 1u) != 0;
}

QByteArray Hex(const char* text) {
    return QByteArray::fromHex(text);
}

} // namespace

class TestDotPacker : public QObject {
    Q_OBJECT

private slots:
    void oneBitRowMajorMsbFirst() {
        QImage image = Bitmap(10, 7);
        image.setPixel(0, 0, kRed);
        image.setPixel(9, 6, kGreen);
        const QByteArray bytes = DotPacker::PackImage(image, OneBit());
        QCOMPARE(bytes.size(), 14);
        QCOMPARE(uchar(bytes[0]), uchar(0x80));
        QCOMPARE(uchar(bytes[13]), uchar(0x40));
        QCOMPARE(bytes.count('\0'), 12);
    }

    void oneBitColourPlanes() {
        QImage image = Bitmap(8, 1);
        image.setPixel(0, 0, kRed);
        image.setPixel(1, 0, kGreen);
        image.setPixel(2, 0, kYellow);
        image.setPixel(3, 0, qRgb(0, 0, 255)); // blue lights only the all-dots plane
        QCOMPARE(DotPacker::PackImage(image, OneBit(0)), Hex("F0"));
        QCOMPARE(DotPacker::PackImage(image, OneBit(1)), Hex("A0"));
        QCOMPARE(DotPacker::PackImage(image, OneBit(2)), Hex("60"));
    }

    void oneBitTransparentIsDark() {
        QImage image = Bitmap(3, 1);
        image.setPixel(0, 0, qRgba(255, 255, 255, 0));
        image.setPixel(1, 0, qRgba(0, 0, 0, 128)); // not opaque black: lit
        QCOMPARE(DotPacker::PackImage(image, OneBit()), Hex("40"));
    }

    void twoBitFamilyFivePages() {
        // 70 columns on 64-column pages: two pages of 256 bytes; page 1 packs 6 columns per
        // line in 2 bytes whose unreached high bits are dark (0); the rest of the page is 00.
        QImage image = Bitmap(70, 16);
        image.setPixel(64, 0, kRed);    // page 1, dot 0: red bit (bit 1)
        image.setPixel(69, 15, kGreen); // page 1, last line, dot 5: green bit (bit 2) of byte 1
        const QByteArray bytes = DotPacker::PackImage(image, TwoBit(5, 64));
        QCOMPARE(bytes.size(), 512);
        const QByteArray page0 = bytes.left(256);
        QCOMPARE(page0.count('\0'), 256); // dark dots of family 5 are 00, line bytes full
        const QByteArray page1 = bytes.mid(256);
        QCOMPARE(uchar(page1[0]), uchar(0x02));
        QCOMPARE(uchar(page1[1]), uchar(0x00));
        for (int line = 1; line < 15; ++line) {
            QCOMPARE(uchar(page1[line * 16]), uchar(0x00));
            QCOMPARE(uchar(page1[line * 16 + 1]), uchar(0x00));
            QCOMPARE(uchar(page1[line * 16 + 2]), uchar(0x00)); // the page fill of family 5
        }
        QCOMPARE(uchar(page1[15 * 16 + 1]), uchar(0x04));
    }

    void twoBitFamilyTwoLevels() {
        QImage image = Bitmap(4, 16);
        image.setPixel(1, 0, kRed);
        image.setPixel(2, 0, kYellow);
        image.setPixel(3, 0, kGreen);
        const QByteArray bytes = DotPacker::PackImage(image, TwoBit(2, 64));
        QCOMPARE(bytes.size(), 256);
        // Pairs (red bit, green bit) from dot 3 down to dot 0: green 10, yellow 00, red 01
        // (green bit 1, red bit 0), dark 11.
        QCOMPARE(uchar(bytes[0]), uchar(0b10'00'01'11));
        // Line 0 byte 0 is the very first byte (started from 0); it is complete anyway.
        QCOMPARE(uchar(bytes[1]), uchar(0xFF));  // the fill of family 2
        QCOMPARE(uchar(bytes[16]), uchar(0xFF)); // line 1: dark dots are 11
    }

    void twoBitFillerBitsAreDark() {
        // A 2-column message: the dots of a line's last byte beyond it are dark, so the sign
        // lights nothing after the message.
        QImage image = Bitmap(2, 16);
        image.setPixel(1, 1, kYellow);
        const QByteArray five = DotPacker::PackImage(image, TwoBit(5, 64));
        QCOMPARE(uchar(five[16]), uchar(0x0C)); // line 1: dot 1 yellow, dots 2 and 3 dark (00)
        QCOMPARE(five.count('\0'), 255);
        // Family 2's dark level is 11, the very first byte of the buffer included.
        const QByteArray two = DotPacker::PackImage(image, TwoBit(2, 64));
        QCOMPARE(uchar(two[0]), uchar(0xFF));
        QCOMPARE(uchar(two[16]), uchar(0xF3));
    }

    void twoBitDatePages() {
        QImage image = Bitmap(64, 16);
        image.fill(kRed);
        const QByteArray bytes = DotPacker::PackImage(image, TwoBit(0, 64, true));
        QCOMPARE(bytes.size(), 512);
        QCOMPARE(bytes.left(256), QByteArray(256, char(0xAA))); // red bits lit
        QCOMPARE(bytes.mid(256), QByteArray(256, '\0'));        // the extra page of a date
    }

    void emptyDateIsOneZeroedPage() {
        QCOMPARE(DotPacker::PackFrameBitmap(QString(), TwoBit(2, 96, true, 16)), QByteArray(384, '\0'));
        QCOMPARE(DotPacker::PackFrameBitmap(QString(), TwoBit(2, 64, true, 16)), QByteArray(256, '\0'));
        QCOMPARE(DotPacker::PackFrameBitmap(QString(), TwoBit(2, 64, false, 16)), QByteArray());
        DotPacker::Params oneBitDate = OneBit();
        oneBitDate.date = true;
        QCOMPARE(DotPacker::PackFrameBitmap(QStringLiteral("/nonexistent.bmp"), oneBitDate), QByteArray());
    }

    void largePagesUseTheirLineSize() {
        // 224-column pages of 16 lines: 896 bytes per page, lines 56 bytes apart.
        QImage image = Bitmap(225, 16);
        image.setPixel(0, 1, kGreen);
        const QByteArray bytes = DotPacker::PackImage(image, TwoBit(5, 224));
        QCOMPARE(bytes.size(), 2 * 896);
        QCOMPARE(uchar(bytes[56]), uchar(0x01));
        QCOMPARE(uchar(bytes[896 + 56]), uchar(0x00)); // page 1, line 1: one dark dot, the rest dark
    }

    void packsWhatTheBmpWriterWrote() {
        QTemporaryDir dir;
        QImage image = Bitmap(10, 7);
        image.setPixel(0, 0, kYellow);
        image.setPixel(9, 6, kGreen);
        const QString path = dir.filePath(QStringLiteral("frame.bmp"));
        QVERIFY(BmpWriter::Write(image, path));
        QCOMPARE(DotPacker::PackFrameBitmap(path, OneBit(1)), DotPacker::PackImage(image, OneBit(1)));
        QCOMPARE(DotPacker::PackFrameBitmap(path, OneBit(2)), DotPacker::PackImage(image, OneBit(2)));
        QCOMPARE(DotPacker::PackFrameBitmap(path, TwoBit(2, 64)), DotPacker::PackImage(image, TwoBit(2, 64)));
    }

    // The packed bits of every dot say what SignColours::LightOf says the sign lights.
    void packedDotsFollowTheSignColourRule() {
        QRandomGenerator random(2026);
        const QImage image = RandomBitmap(40, 16, random);
        const QByteArray oneBit = DotPacker::PackImage(image, OneBit());
        const QByteArray red = DotPacker::PackImage(image, OneBit(1));
        const QByteArray green = DotPacker::PackImage(image, OneBit(2));
        const QByteArray twoBit = DotPacker::PackImage(image, TwoBit(5, 64));
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const QRgb pixel = image.pixel(x, y);
                const qsizetype oneBitByte = y * 5 + x / 8;
                const int oneBitBit = 7 - x % 8;
                QCOMPARE(BitAt(oneBit, oneBitByte, oneBitBit),
                         SignColours::LightOf(PackKind::OneBit, pixel) == SignLight::Single);
                const SignLight planes = SignColours::LightOf(PackKind::ColourPlanes, pixel);
                QCOMPARE(BitAt(red, oneBitByte, oneBitBit),
                         planes == SignLight::Red || planes == SignLight::Yellow);
                QCOMPARE(BitAt(green, oneBitByte, oneBitBit),
                         planes == SignLight::Green || planes == SignLight::Yellow);
                const SignLight two = SignColours::LightOf(PackKind::TwoBitPages, pixel);
                const qsizetype twoBitByte = y * 16 + x / 4;
                QCOMPARE(BitAt(twoBit, twoBitByte, 2 * (x % 4)),
                         two == SignLight::Green || two == SignLight::Yellow);
                QCOMPARE(BitAt(twoBit, twoBitByte, 2 * (x % 4) + 1),
                         two == SignLight::Red || two == SignLight::Yellow);
            }
        }
    }

    void characterCodes_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("token") << QStringLiteral("AB[GIF_003]C") << Hex("41426343");
        QTest::newRow("bracket") << QStringLiteral("[x") << Hex("5B78");
        QTest::newRow("token number too high") << QStringLiteral("[GIF_099]A") << Hex("41");
        QTest::newRow("token at the limit") << QStringLiteral("[GIF_098]") << Hex("C2");
        QTest::newRow("above 194 dropped") << QStringLiteral("a\u00C3\u00C2\u4E2Db") << Hex("61C262");
        QTest::newRow("negative token dropped") << QStringLiteral("[GIF_-99]") << QByteArray();
        QTest::newRow("short token") << QStringLiteral("[GIF_1]") << Hex("5B4749465F315D");
    }

    void characterCodes() {
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        QCOMPARE(DotPacker::PackCharacterCodes(text), bytes);
    }

    void characterCodesAreBounded() {
        QCOMPARE(DotPacker::PackCharacterCodes(QString(5000, u'A')).size(), DotPacker::CharacterBufferSize);
    }

    void limitDataSize() {
        const DisplayModel* p13 = ModelCatalogue::Find(QStringLiteral("P13"));
        CMessageTable table;
        table.ClearParams();
        Payload payload;
        for (int row = 0; row < 4; ++row) {
            table.sendFlag[size_t(row)] = row == 1 ? 0 : 1; // row 1 is not sent
            payload.At(0, row).Assign(QByteArray(2500, 'x'));
            payload.At(1, row).Assign(QByteArray(2500, 'y'));
        }
        payload.At(0, 4).Assign(QByteArray(100, 'z')); // row 4 is not sent either
        const int excess = SendPreparation::LimitDataSize(*p13, table, payload);
        QCOMPARE(excess, 3000);
        QCOMPARE(SendPreparation::ExcessWords(excess), 167);
        QCOMPARE(payload.At(0, 0).length, 2500);
        QCOMPARE(payload.At(0, 1).length, 2500);
        QCOMPARE(payload.At(0, 2).length, 2500);
        QCOMPARE(payload.At(0, 3).length, 1000);
        QCOMPARE(payload.At(1, 3).length, 1000);
        QCOMPARE(payload.At(0, 3).bytes.size(), 2500); // the bytes stay

        // Rows after the one that crosses the limit send nothing; a row without set 1
        // gives its whole room to set 0.
        Payload more;
        CMessageTable all;
        all.ClearParams();
        for (int row = 0; row < 4; ++row) {
            all.sendFlag[size_t(row)] = 1;
            more.At(0, row).Assign(QByteArray(5000, 'x'));
        }
        QCOMPARE(SendPreparation::LimitDataSize(*p13, all, more), 8000);
        QCOMPARE(more.At(0, 2).length, 2000);
        QCOMPARE(more.At(0, 3).length, 0);

        Payload same;
        for (int row = 0; row < 4; ++row)
            same.At(0, row).Assign(QByteArray(5000, 'x'));
        QCOMPARE(SendPreparation::LimitDataSize(*ModelCatalogue::Find(QStringLiteral("P29")), all, same), 0);
        QCOMPARE(same.At(0, 3).length, 5000);
    }

    void limitNeverLengthensAnEntry() {
        CMessageTable table;
        table.ClearParams();
        table.sendFlag[0] = 1;
        table.sendFlag[1] = 1;
        Payload payload;
        payload.At(0, 0).Assign(QByteArray(11000, 'x'));
        payload.At(0, 1).Assign(QByteArray(10, 'x'));
        payload.At(1, 1).Assign(QByteArray(3000, 'y'));
        QCOMPARE(SendPreparation::LimitDataSize(*ModelCatalogue::Find(QStringLiteral("P24")), table, payload),
                 2010);
        QCOMPARE(payload.At(0, 1).length, 10); // room 1000 / 2 = 500 would exceed its 10 bytes
        QCOMPARE(payload.At(1, 1).length, 500);
    }
};

QTEST_MAIN(TestDotPacker)
#include "tst_dotpacker.moc"
