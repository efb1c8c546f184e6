#include "ui/UiPictures.h"

#include <QImage>
#include <QPainter>
#include <QTest>

using namespace vexa;

// The drawn pictures: every named picture exists and draws at any scale, and the colour
// icons show the bands the sign shows.
class TestPictures : public QObject {
    Q_OBJECT

private:
    static QImage Draw(int resourceId, int side, qreal scale = 1.0) {
        return UiPictures::Icon(resourceId).pixmap(QSize(side, side), scale).toImage();
    }

    static int OpaquePixels(const QImage& image) {
        int count = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x)
                count += qAlpha(image.pixel(x, y)) > 0 ? 1 : 0;
        }
        return count;
    }

private slots:
    void everyPictureDrawsAtOneAndTwoTimes_data() {
        QTest::addColumn<int>("resource");
        for (int id : {128, 178, 179, 180, 181, 182, 183, 184, 185, 188, 189, 190, 192, 193, 194,
                       195, 196, 197, 199, 200, 315, 154, 155, 156, 157, 158, 159, 160, 161, 162})
            QTest::newRow(qPrintable(QString::number(id))) << id;
    }
    void everyPictureDrawsAtOneAndTwoTimes() {
        QFETCH(int, resource);
        QVERIFY(UiPictures::Exists(resource));
        const QImage one = Draw(resource, 16);
        const QImage two = Draw(resource, 16, 2.0);
        QCOMPARE(one.size(), QSize(16, 16));
        QCOMPARE(two.size(), QSize(32, 32)); // drawn at the device resolution, not scaled up
        QCOMPARE(two.devicePixelRatio(), 2.0);
        QVERIFY(OpaquePixels(one) > 20);
        QVERIFY(OpaquePixels(two) > 4 * 20);
    }

    void unknownNumbersHaveNoPicture() {
        QVERIFY(!UiPictures::Exists(0));
        QVERIFY(!UiPictures::Exists(186));
        QVERIFY(UiPictures::Icon(186).isNull());
        QCOMPARE(UiPictures::ColourIconResource(-1), -1);
        QCOMPARE(UiPictures::ColourIconResource(9), -1);
    }

    void hoverPicturesDifferFromTheirButtons() {
        QVERIFY(Draw(UiPictures::Send, 24) != Draw(UiPictures::SendHover, 24));
        QVERIFY(Draw(UiPictures::CheckBoxOn, 24) != Draw(UiPictures::CheckBoxOff, 24));
    }

    void colourIconsShowTheirBands_data() {
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("resource");
        QTest::addColumn<QRgb>("top");
        QTest::addColumn<QRgb>("middle");
        QTest::addColumn<QRgb>("bottom");
        const QRgb r = qRgb(255, 0, 0), g = qRgb(0, 255, 0), y = qRgb(255, 255, 0);
        QTest::newRow("red") << 0 << 155 << r << r << r;
        QTest::newRow("green") << 1 << 156 << g << g << g;
        QTest::newRow("yellow") << 2 << 154 << y << y << y;
        QTest::newRow("green yellow red") << 3 << 157 << g << y << r;
        QTest::newRow("red green yellow") << 4 << 158 << r << g << y;
        QTest::newRow("green red yellow") << 5 << 159 << g << r << y;
        QTest::newRow("yellow red green") << 6 << 160 << y << r << g;
        QTest::newRow("red yellow green") << 7 << 161 << r << y << g;
        QTest::newRow("yellow green red") << 8 << 162 << y << g << r;
    }
    void colourIconsShowTheirBands() {
        QFETCH(int, index);
        QFETCH(int, resource);
        QFETCH(QRgb, top);
        QFETCH(QRgb, middle);
        QFETCH(QRgb, bottom);
        QCOMPARE(UiPictures::ColourIconResource(index), resource);
        const QImage image = UiPictures::ColourIcon(index).pixmap(QSize(48, 48), 1.0).toImage();
        QCOMPARE(QColor(image.pixel(24, 8)).rgb(), QColor(top).rgb());
        QCOMPARE(QColor(image.pixel(24, 24)).rgb(), QColor(middle).rgb());
        QCOMPARE(QColor(image.pixel(24, 39)).rgb(), QColor(bottom).rgb());
    }
    // A picture drawn from the cache looks as drawn directly (Source Over composes the same
    // either way, up to rounding), at a position within a pixel, checked and unchecked.
    void cachedPicturesMatchTheDrawnOnes() {
        for (int resource : {int(UiPictures::CheckBoxOff), int(UiPictures::CheckBoxOn)}) {
            QImage direct(24, 24, QImage::Format_ARGB32_Premultiplied);
            direct.fill(Qt::white);
            QImage cached = direct;
            const QRectF box(2.5, 3, 17, 17);
            {
                QPainter p(&direct);
                UiPictures::Paint(p, box, resource);
            }
            for (int pass = 0; pass < 2; ++pass) { // drawn into the cache, then taken from it
                QImage image(24, 24, QImage::Format_ARGB32_Premultiplied);
                image.fill(Qt::white);
                QPainter p(&image);
                UiPictures::PaintCached(p, box, resource);
                p.end();
                if (pass == 1)
                    QCOMPARE(image, cached);
                cached = image;
            }
            int worst = 0;
            for (int y = 0; y < direct.height(); ++y) {
                for (int x = 0; x < direct.width(); ++x) {
                    const QRgb a = direct.pixel(x, y);
                    const QRgb b = cached.pixel(x, y);
                    worst = std::max({worst, std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                                      std::abs(qBlue(a) - qBlue(b))});
                }
            }
            QVERIFY2(worst <= 2, qPrintable(QString::number(worst)));
            QImage blank(24, 24, QImage::Format_ARGB32_Premultiplied);
            blank.fill(Qt::white);
            QVERIFY(cached != blank);
        }
    }
};

QTEST_MAIN(TestPictures)
#include "tst_pictures.moc"
