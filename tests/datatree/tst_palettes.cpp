// The editors take their palette pictures from the vexa_palettes resources.

#include "PalettePictures.h"

#include <QFile>
#include <QImage>
#include <QSet>
#include <QTest>

using vexa::PalettePictures;

namespace {

QByteArray Pixels(const QImage& image) {
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    QByteArray bytes;
    for (int y = 0; y < rgb.height(); ++y) {
        bytes.append(reinterpret_cast<const char*>(rgb.constScanLine(y)), rgb.width() * 4);
    }
    return bytes;
}

int LitPixels(const QImage& image) {
    int lit = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            lit += (qRed(p) > 0x80 || qGreen(p) > 0x80) ? 1 : 0;
        }
    }
    return lit;
}

} // namespace

class TestPalettes : public QObject {
    Q_OBJECT

private slots:
    void pathsNameTheResources() {
        QCOMPARE(PalettePictures::FacePath(5), QStringLiteral(":/palettes/face/5.png"));
        QCOMPARE(PalettePictures::SpecialPath(65), QStringLiteral(":/palettes/special/65.png"));
    }

    void specialCharactersNameTheirLetters() {
        QCOMPARE(PalettePictures::SpecialCharacter(0), QStringLiteral("\u00E0"));
        QCOMPARE(PalettePictures::SpecialCharacter(9), QStringLiteral("\u00E9"));
        QCOMPARE(PalettePictures::SpecialCharacter(65), QStringLiteral("\u03C9"));
        QVERIFY(PalettePictures::SpecialCharacter(-1).isEmpty());
        QVERIFY(PalettePictures::SpecialCharacter(66).isEmpty());
        QSet<QString> letters;
        for (int k = 0; k < PalettePictures::kSpecialCount; ++k) {
            const QString letter = PalettePictures::SpecialCharacter(k);
            QCOMPARE(letter.size(), 1);
            QVERIFY(letter[0].isLetter());
            QCOMPARE(PalettePictures::SpecialNumberOf(letter), k);
            letters.insert(letter);
        }
        QCOMPARE(letters.size(), PalettePictures::kSpecialCount);
        QCOMPARE(PalettePictures::SpecialNumberOf(QStringLiteral("e")), -1);
        QCOMPARE(PalettePictures::SpecialNumberOf(QString()), -1);
    }

    void everyFaceHasItsOwnPicture() {
        QSet<QByteArray> seen;
        for (int k = 0; k < PalettePictures::kFaceCount; ++k) {
            const QImage picture(PalettePictures::FacePath(k));
            QVERIFY2(!picture.isNull(), qPrintable(PalettePictures::FacePath(k)));
            QCOMPARE(picture.size(), QSize(28, 28));
            QVERIFY(LitPixels(picture) > 20);
            seen.insert(Pixels(picture));
        }
        QCOMPARE(seen.size(), PalettePictures::kFaceCount);
        QVERIFY(!QFile::exists(PalettePictures::FacePath(PalettePictures::kFaceCount)));
    }

    void everySpecialCharacterHasItsOwnPicture() {
        QSet<QByteArray> seen;
        for (int k = 0; k < PalettePictures::kSpecialCount; ++k) {
            const QImage picture(PalettePictures::SpecialPath(k));
            QVERIFY2(!picture.isNull(), qPrintable(PalettePictures::SpecialPath(k)));
            QCOMPARE(picture.size(), QSize(24, 24));
            QVERIFY(LitPixels(picture) > 0);
            seen.insert(Pixels(picture));
        }
        QCOMPARE(seen.size(), PalettePictures::kSpecialCount);
        QVERIFY(!QFile::exists(PalettePictures::SpecialPath(PalettePictures::kSpecialCount)));
    }
};

QTEST_GUILESS_MAIN(TestPalettes)
#include "tst_palettes.moc"
