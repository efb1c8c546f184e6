#include "core/ModelCatalogue.h"
#include "core/SignColours.h"
#include "render/PictureImportModel.h"
#include "render/PicturePreparer.h"
#include "render/PictureReader.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageWriter>
#include <QPainter>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace vexa;

namespace {

const DisplayModel& Model(const char* name) {
    return *ModelCatalogue::Find(QLatin1String(name));
}

QImage Filled(QSize size, QRgb colour) {
    QImage image(size, QImage::Format_ARGB32);
    image.fill(colour);
    return image;
}

PreparedPicture Prepared(const QImage& source, const char* model, PictureOptions options = {}) {
    const std::optional<PreparedPicture> prepared = PicturePreparer::Prepare(source, Model(model), options);
    return prepared.value_or(PreparedPicture{});
}

SignLight LightAt(const PreparedPicture& p, const char* model, int x, int y) {
    return SignColours::LightOf(Model(model).packKind, p.image.pixel(x, y));
}

int LitInRect(const QImage& image, QRect rect) {
    int lit = 0;
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x = rect.left(); x <= rect.right(); ++x)
            lit += image.pixel(x, y) != SignColours::OpaqueBlack ? 1 : 0;
    return lit;
}

} // namespace

// Pictures made into what a sign shows, on small generated pictures whose dots are known.
class TestPicturePreparer : public QObject {
    Q_OBJECT

private slots:
    // A 2 x 2 checker enlarged to 16 rows: four exact 8 x 8 squares. A width limit makes a
    // wide picture lower and centres it in the sign's rows.
    void scalesToTheSignsHeight() {
        QImage checker = Filled({2, 2}, 0xFF000000);
        checker.setPixel(0, 0, 0xFFFFFFFF);
        checker.setPixel(1, 1, 0xFFFFFFFF);
        const PreparedPicture p = Prepared(checker, "P30");
        QCOMPARE(p.image.size(), QSize(16, 16));
        QCOMPARE(p.image.format(), QImage::Format_ARGB32);
        QCOMPARE(LitInRect(p.image, {0, 0, 8, 8}), 64);
        QCOMPARE(LitInRect(p.image, {8, 8, 8, 8}), 64);
        QCOMPARE(p.litDots, 128);
        QCOMPARE(LightAt(p, "P30", 3, 3), SignLight::Yellow);

        PictureOptions narrow;
        narrow.maxWidth = 8;
        narrow.background = PictureBackground::Keep;
        const PreparedPicture low = Prepared(Filled({4, 1}, 0xFFFFFFFF), "P30", narrow);
        QCOMPARE(low.image.size(), QSize(8, 16));
        QCOMPARE(LitInRect(low.image, {0, 7, 8, 2}), 16);
        QCOMPARE(low.litDots, 16);
        QCOMPARE(PicturePreparer::PictureSize({4000, 3000}, 16, 0), QSize(21, 16));
    }

    // A grey ramp (level = column) at the sign's height is cut exactly at the level: on a
    // two-colour sign by red and green light, on a single-colour one by luminance.
    void thresholdsAtTheChosenLevel_data() {
        QTest::addColumn<QString>("model");
        QTest::addColumn<int>("level");
        QTest::newRow("P30 two colours") << "P30" << 100;
        QTest::newRow("P36 one colour") << "P36" << 200;
        QTest::newRow("P13 one colour, 12 rows") << "P13" << 0;
    }
    void thresholdsAtTheChosenLevel() {
        QFETCH(QString, model);
        QFETCH(int, level);
        const DisplayModel& m = *ModelCatalogue::Find(model);
        QImage ramp(256, m.rows, QImage::Format_RGB32);
        for (int x = 0; x < 256; ++x)
            for (int y = 0; y < m.rows; ++y)
                ramp.setPixel(x, y, qRgb(x, x, x));
        PictureOptions options;
        options.level = level;
        options.background = PictureBackground::Keep;
        const PreparedPicture p = Prepared(ramp, m.name, options);
        QCOMPARE(p.image.size(), ramp.size());
        QCOMPARE(p.litDots, (255 - level) * m.rows);
        QVERIFY(p.image.pixel(level, 0) == SignColours::OpaqueBlack);
        QVERIFY(p.image.pixel(level + 1, m.rows - 1) != SignColours::OpaqueBlack);
    }

    // Dithering lights dots in proportion to the level: half of a 50 % grey.
    void dithersInProportion_data() {
        QTest::addColumn<int>("method");
        QTest::addColumn<double>("tolerance");
        QTest::newRow("Floyd-Steinberg") << int(DotMethod::FloydSteinberg) << 0.02;
        QTest::newRow("ordered") << int(DotMethod::Ordered) << 0.0;
    }
    void dithersInProportion() {
        QFETCH(int, method);
        QFETCH(double, tolerance);
        PictureOptions options;
        options.dots = DotMethod(method);
        const PreparedPicture p = Prepared(Filled({160, 16}, qRgb(128, 128, 128)), "P36", options);
        const double share = double(p.litDots) / (160 * 16);
        QVERIFY2(std::abs(share - 0.5) <= tolerance + 1e-9, qPrintable(QString::number(share)));
    }

    // Transparent parts are dark; a light ground found on the border is inverted away,
    // leaving the shape in its own colour.
    void groundBecomesDark() {
        QCOMPARE(Prepared(Filled({16, 16}, 0x00FFFFFF), "P30").litDots, 0);
        QImage onClear = Filled({16, 16}, 0x00FFFFFF);
        QPainter(&onClear).fillRect(4, 4, 8, 8, Qt::white);
        QCOMPARE(Prepared(onClear, "P13").litDots, 12 * 12 / 4);

        QImage icon = Filled({16, 16}, 0xFFFFFFFF);
        QPainter painter(&icon);
        painter.fillRect(7, 2, 2, 12, Qt::black);
        painter.fillRect(2, 7, 12, 2, Qt::red);
        painter.end();
        QVERIFY(PicturePreparer::HasLightBackground(icon));
        const PreparedPicture p = Prepared(icon, "P30");
        QVERIFY(p.inverted);
        QCOMPARE(p.litDots, 2 * 12 + 2 * 12 - 4);
        QCOMPARE(LightAt(p, "P30", 7, 3), SignLight::Yellow); // black ink lights
        QCOMPARE(LightAt(p, "P30", 3, 7), SignLight::Red);    // red stays red
        QCOMPARE(LightAt(p, "P30", 0, 0), SignLight::Dark);
        PictureOptions keep;
        keep.background = PictureBackground::Keep;
        QCOMPARE(Prepared(icon, "P30", keep).litDots, 16 * 16 - (2 * 12 - 4)); // the ink is dark
    }

    // Pure and near colours light what the sign lights, exported in its pure colours.
    void coloursAreWhatTheSignLights_data() {
        QTest::addColumn<QString>("model");
        QTest::addColumn<QList<int>>("lights"); // per patch
        const QList<int> two{int(SignLight::Red),    int(SignLight::Red),    int(SignLight::Green),
                             int(SignLight::Green),  int(SignLight::Yellow), int(SignLight::Yellow),
                             int(SignLight::Yellow), int(SignLight::Dark)};
        QTest::newRow("P30 two-bit") << "P30" << two;
        QTest::newRow("P06 planes") << "P06" << two;
        QList<int> one(7, int(SignLight::Single));
        one << int(SignLight::Dark);
        QTest::newRow("P13 one colour") << "P13" << one;
    }
    void coloursAreWhatTheSignLights() {
        QFETCH(QString, model);
        QFETCH(QList<int>, lights);
        const DisplayModel& m = *ModelCatalogue::Find(model);
        const QRgb patches[] = {qRgb(255, 0, 0),   qRgb(220, 40, 30),  qRgb(0, 255, 0),     qRgb(30, 200, 60),
                                qRgb(255, 255, 0), qRgb(240, 200, 40), qRgb(255, 255, 255), qRgb(20, 20, 30)};
        QImage strip(8 * m.rows, m.rows, QImage::Format_RGB32);
        for (int i = 0; i < 8; ++i)
            QPainter(&strip).fillRect(i * m.rows, 0, m.rows, m.rows, QColor::fromRgb(patches[i]));
        PictureOptions options;
        options.background = PictureBackground::Keep;
        options.level = 60;
        const PreparedPicture p = Prepared(strip, m.name, options);
        for (int i = 0; i < 8; ++i) {
            const QRgb dot = p.image.pixel(i * m.rows + m.rows / 2, m.rows / 2);
            QCOMPARE(int(SignColours::LightOf(m.packKind, dot)), lights[i]);
            QCOMPARE(dot, SignColours::ExportArgbOf(SignColours::LightOf(m.packKind, dot)));
        }
        if (!SignColours::IsSingleColour(m.packKind)) {
            options.colour = SignLight::Green;
            const PreparedPicture green = Prepared(strip, m.name, options);
            QCOMPARE(green.image.pixel(m.rows / 2, m.rows / 2), SignColours::PureGreen);
        }
    }

    // Progress is told and a stop request ends the work with nothing.
    void stopsWhenAsked() {
        const QImage photo = Filled({800, 2000}, qRgb(90, 120, 200));
        int calls = 0;
        const auto stop = [&](int) { return ++calls < 3; };
        QVERIFY(!PicturePreparer::Prepare(photo, Model("P30"), {}, stop));
        QCOMPARE(calls, 3);
    }

    // Regular files only, within the picture bounds; SVG drawn at the sign's height; WebP
    // where the plugin is present.
    void readsPicturesWithinBounds() {
        QTemporaryDir dir;
        QCOMPARE(PictureReader::Read(dir.path(), 16).error, QStringLiteral("not a regular file"));
        QCOMPARE(PictureReader::Read(dir.filePath(QStringLiteral("none.png")), 16).error,
                 QStringLiteral("no such file"));
        QFile text(dir.filePath(QStringLiteral("notes.png")));
        QVERIFY(text.open(QIODevice::WriteOnly) && text.write("not a picture") > 0);
        text.close();
        QVERIFY(PictureReader::Read(text.fileName(), 16).image.isNull());

        const QString wide = dir.filePath(QStringLiteral("wide.png"));
        QVERIFY(QImage(40000, 1, QImage::Format_Mono).save(wide));
        QVERIFY(PictureReader::Read(wide, 16).error.contains(QStringLiteral("too large")));

        QFile svg(dir.filePath(QStringLiteral("banner.svg")));
        QVERIFY(svg.open(QIODevice::WriteOnly));
        svg.write("<svg xmlns='http://www.w3.org/2000/svg' width='771' height='96'>"
                  "<rect x='0' y='0' width='771' height='48' fill='#ff0000'/></svg>");
        svg.close();
        const PictureReader::Picture banner = PictureReader::Read(svg.fileName(), 16);
        QCOMPARE(banner.fileSize, QSize(771, 96));
        QCOMPARE(banner.image.height(), 16 * PictureReader::VectorOversample);
        const PreparedPicture p = Prepared(banner.image, "P30");
        QCOMPARE(p.image.size(), QSize(129, 16)); // 771 x 96 at 16 rows
        QCOMPARE(p.litDots, 129 * 8);
        QCOMPARE(LightAt(p, "P30", 0, 0), SignLight::Red);

        if (QImageWriter::supportedImageFormats().contains("webp")) {
            const QString webp = dir.filePath(QStringLiteral("photo.webp"));
            QVERIFY(Filled({64, 48}, qRgb(0, 255, 0)).save(webp, "webp", 100));
            QCOMPARE(PictureReader::Read(webp, 16).image.size(), QSize(64, 48));
        }
    }

    // The import model reads and prepares off the caller's thread, and saves a copy under a
    // name no other picture has; the original stays as it was.
    void importSavesAFreshCopy() {
        QTemporaryDir dir;
        const QString original = dir.filePath(QStringLiteral("logo.png"));
        QImage logo = Filled({64, 48}, 0xFFFFFFFF);
        QPainter(&logo).fillRect(8, 8, 48, 32, Qt::black);
        QVERIFY(logo.save(original));
        const QByteArray originalBytes = [&] {
            QFile f(original);
            return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
        }();
        const QString pictures = dir.filePath(QStringLiteral("WorkData/Pictures"));
        QVERIFY(QDir().mkpath(pictures));
        QVERIFY(QImage(1, 1, QImage::Format_RGB32).save(pictures + QStringLiteral("/logo.png")));

        PictureImportModel model({&Model("P13"), pictures});
        QSignalSpy changed(&model, &PictureImportModel::Changed);
        model.Open(original);
        QTRY_COMPARE(model.CurrentState(), PictureImportModel::State::Ready);
        QCOMPARE(model.SourceSize(), QSize(64, 48));
        QCOMPARE(model.Result().image.size(), QSize(16, 12));
        QVERIFY(model.Result().inverted);
        const QString saved = model.Save();
        QCOMPARE(saved, pictures + QStringLiteral("/logo-2.png"));
        QCOMPARE(QImage(saved).convertToFormat(QImage::Format_ARGB32), model.Result().image);
        QCOMPARE(QImage(pictures + QStringLiteral("/logo.png")).size(), QSize(1, 1));
        QFile f(original);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), originalBytes);

        model.Open(dir.filePath(QStringLiteral("missing.png")));
        QTRY_COMPARE(model.CurrentState(), PictureImportModel::State::Failed);
        QCOMPARE(model.Error(), QStringLiteral("no such file"));
        QVERIFY(model.Save().isEmpty());
    }
};

QTEST_MAIN(TestPicturePreparer)
#include "tst_picturepreparer.moc"
