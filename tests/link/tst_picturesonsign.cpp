#include "core/ModelCatalogue.h"
#include "core/SignColours.h"
#include "support/SimProcess.h"
#include "support/VexaRun.h"

#include <QDir>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace vexa;
using namespace vexa::test;

namespace {

const DisplayModel& Model(const QString& name) {
    return *ModelCatalogue::Find(name);
}

// What a sign of the kind lights for a pixel of a picture drawn in pure colours (ImageMagick's
// thresholded output, the simulator's decoded dots): red and green above half, or any light.
SignLight LightOfPureColours(PackKind kind, QRgb pixel) {
    if (SignColours::IsSingleColour(kind))
        return (pixel & 0xFFFFFF) != 0 ? SignLight::Single : SignLight::Dark;
    const bool red = qRed(pixel) > 127, green = qGreen(pixel) > 127;
    return red && green ? SignLight::Yellow
           : red        ? SignLight::Red
           : green      ? SignLight::Green
                        : SignLight::Dark;
}

bool RunConvert(const QStringList& arguments) {
    QProcess convert;
    convert.start(QStringLiteral("convert"), arguments);
    return convert.waitForFinished(60000) && convert.exitStatus() == QProcess::NormalExit &&
           convert.exitCode() == 0;
}

} // namespace

// Pictures prepared for signs, held against ImageMagick's own resize and threshold of the same
// picture, and sent through `vexa` to `vexa-sim`, whose decoded dots must be what the preview
// shows.
class TestPicturesOnSign : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    QString work, data;

    QString Path(const QString& name) const { return QDir(work).filePath(name); }

    VexaRun Vexa(const QStringList& args) { return VexaRun::Of(work, data, args); }

private slots:
    // ImageMagick's own pictures: a photo (a rose, 70 x 46) and a logo on a white ground
    // (640 x 480), written as the PNG files an operator would pick.
    void initTestCase() {
        QVERIFY2(!QStandardPaths::findExecutable(QStringLiteral("convert")).isEmpty(),
                 "ImageMagick is needed (scripts/install-deps.sh installs it)");
        work = dir.path();
        data = Path(QStringLiteral("data"));
        QVERIFY(QDir().mkpath(data));
        QVERIFY(RunConvert({QStringLiteral("rose:"), Path(QStringLiteral("rose.png"))}));
        QVERIFY(RunConvert({QStringLiteral("logo:"), Path(QStringLiteral("logo.png"))}));
    }

    // A 50 % threshold of the picture averaged down in linear light, as ImageMagick computes
    // it: at least 95 % of the dots agree (a level within rounding of the threshold may fall
    // either way).
    void agreesWithImageMagick_data() {
        QTest::addColumn<QString>("model");
        QTest::addColumn<QString>("picture");
        for (const char* model : {"P30", "P13", "P06"})
            for (const char* picture : {"rose", "logo"})
                QTest::addRow("%s %s", model, picture) << model << picture;
    }
    void agreesWithImageMagick() {
        QFETCH(QString, model);
        QFETCH(QString, picture);
        const PackKind kind = Model(model).packKind;
        const QString ours = Path(QStringLiteral("%1-%2.png").arg(picture, model));
        const VexaRun run = Vexa({QStringLiteral("picture"), Path(picture + QStringLiteral(".png")), ours,
                                  QStringLiteral("--model"), model, QStringLiteral("--threshold"),
                                  QStringLiteral("127"), QStringLiteral("--no-invert")});
        QVERIFY2(run.exit == 0, qPrintable(run.err));
        const QImage prepared(ours);
        const QString theirs = Path(QStringLiteral("%1-%2-im.png").arg(picture, model));
        // ImageMagick's area averaging (-scale) in linear light, its 50 % threshold per channel;
        // single-colour signs go by luminance, written out because ImageMagick's grey is luma.
        QStringList arguments{Path(picture + QStringLiteral(".png")), QStringLiteral("-colorspace"),
                              QStringLiteral("RGB"), QStringLiteral("-scale"),
                              QStringLiteral("%1x%2!").arg(prepared.width()).arg(prepared.height())};
        if (SignColours::IsSingleColour(kind))
            arguments << QStringLiteral("-fx") << QStringLiteral("0.2126*r+0.7152*g+0.0722*b")
                      << QStringLiteral("-set") << QStringLiteral("colorspace") << QStringLiteral("RGB");
        arguments << QStringLiteral("-colorspace") << QStringLiteral("sRGB") << QStringLiteral("-channel")
                  << QStringLiteral("RGB") << QStringLiteral("-threshold") << QStringLiteral("50%")
                  << QStringLiteral("+channel") << QStringLiteral("PNG24:") + theirs;
        QVERIFY(RunConvert(arguments));
        const QImage reference(theirs);
        QCOMPARE(reference.size(), prepared.size());
        int equal = 0;
        for (int y = 0; y < prepared.height(); ++y)
            for (int x = 0; x < prepared.width(); ++x)
                equal += SignColours::LightOf(kind, prepared.pixel(x, y)) ==
                                 LightOfPureColours(kind, reference.pixel(x, y))
                             ? 1
                             : 0;
        const double share = double(equal) / (prepared.width() * prepared.height());
        QVERIFY2(share >= 0.95, qPrintable(QStringLiteral("%1 of the dots agree").arg(share)));
    }

    // The prepared pictures in an image row: the preview `vexa render` draws and the dots the
    // simulator decodes from the bytes `vexa send` put on the line are the same, dot for dot.
    void previewIsWhatTheSignShows_data() {
        QTest::addColumn<QString>("model");
        QTest::newRow("P30 two-bit pages") << "P30";
        QTest::newRow("P13 one colour") << "P13";
        QTest::newRow("P06 colour planes") << "P06";
    }
    void previewIsWhatTheSignShows() {
        QFETCH(QString, model);
        const DisplayModel& m = Model(model);
        QStringList pictures;
        for (const auto& [name, dots] : {std::pair{"rose", "fs"}, std::pair{"logo", "ordered"}}) {
            const QString picture = QString::fromLatin1(name);
            const QString out = Path(QStringLiteral("%1-%2-sent.png").arg(picture, model));
            QCOMPARE(Vexa({QStringLiteral("picture"), Path(picture + QStringLiteral(".png")), out,
                           QStringLiteral("--model"), model, QStringLiteral("--dither"),
                           QString::fromLatin1(dots)})
                         .exit,
                     0);
            pictures << out;
        }
        const QString file = Path(model + QStringLiteral(".led"));
        QCOMPARE(Vexa({QStringLiteral("new"), QStringLiteral("--model"), model, file}).exit, 0);
        QCOMPARE(Vexa({QStringLiteral("set"), file, QStringLiteral("--row"), QStringLiteral("1"),
                       QStringLiteral("--content"), pictures.join(u';') + u';', QStringLiteral("--kind"),
                       QStringLiteral("image"), QStringLiteral("--send"), QStringLiteral("1")})
                     .exit,
                 0);
        const QString sheetPath = Path(model + QStringLiteral("-preview.png"));
        const VexaRun rendered =
            Vexa({QStringLiteral("render"), file, QStringLiteral("--model"), model, QStringLiteral("--out"),
                  Path(model + QStringLiteral("-export")), QStringLiteral("--preview"), sheetPath});
        QVERIFY2(rendered.exit == 0, qPrintable(rendered.err));

        const QString renders = Path(model + QStringLiteral("-sim"));
        SimProcess sim(model,
                       {QStringLiteral("--ids"), QStringLiteral("1"), QStringLiteral("--render"), renders},
                       SimProcess::Trace::Off);
        QVERIFY2(!sim.device.isEmpty(), "vexa-sim did not start");
        const VexaRun sent = Vexa({QStringLiteral("send"), file, QStringLiteral("--model"), model,
                                   QStringLiteral("--port"), sim.device});
        QVERIFY2(sent.exit == 0, qPrintable(sent.err));
        // Colour-plane signs are decoded once both planes have come.
        const QString wanted =
            m.packKind == PackKind::ColourPlanes ? QStringLiteral("/slot1.png") : QString();
        QString signPath;
        QTRY_VERIFY_WITH_TIMEOUT(
            [&] {
                for (const QJsonObject& e : sim.Events(QStringLiteral("rendered"))) {
                    const QString path = e.value(QStringLiteral("path")).toString();
                    if (e.value(QStringLiteral("slot")).toInt() == 1 && path.endsWith(wanted)) {
                        signPath = path;
                        return true;
                    }
                }
                return false;
            }(),
            20000);
        const QImage sign(signPath);
        const QImage sheet(sheetPath);
        // The sheet's second row: 4 pixels per dot inside a 1-pixel frame, rows 3 pixels apart.
        const int top = 1 * (m.rows * 4 + 2 + 3) + 1;
        int lit = 0;
        for (int y = 0; y < m.rows; ++y) {
            for (int x = 0; x < 128; ++x) {
                const SignLight shown =
                    SignColours::LightOf(m.packKind, sheet.pixel(1 + 4 * x + 2, top + 4 * y + 2));
                const SignLight onSign =
                    x < sign.width() ? LightOfPureColours(m.packKind, sign.pixel(x, y)) : SignLight::Dark;
                QVERIFY2(shown == onSign, qPrintable(QStringLiteral("dot %1,%2").arg(x).arg(y)));
                lit += shown != SignLight::Dark ? 1 : 0;
            }
        }
        QVERIFY(lit > m.rows * 4);
    }
};

QTEST_MAIN(TestPicturesOnSign)
#include "tst_picturesonsign.moc"
