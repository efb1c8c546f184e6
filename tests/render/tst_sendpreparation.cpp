#include "app/WorkFiles.h"
#include "core/ModelCatalogue.h"
#include "render/GlyphLibrary.h"
#include "render/RowImages.h"
#include "render/SendPreparation.h"
#include "store/AppPaths.h"
#include "store/CMessageTable.h"
#include "store/LanguageTexts.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QtTest>

using namespace vexa;

namespace {

const QString kRtf =
    QStringLiteral("{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fnil\\fcharset0 Arial;}}"
                   "{\\colortbl ;\\red255\\green0\\blue0;}\\viewkind4\\uc1\\pard\\cf1\\f0\\fs%1 %2\\par}");

void WriteGlyph(const QString& path, int width, int height, QRgb colour) {
    QDir().mkpath(QFileInfo(path).path());
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::black);
    image.setPixel(0, 0, colour);
    QVERIFY(image.save(path, "BMP"));
}

const DisplayModel& Model(const char* name) {
    return *ModelCatalogue::Find(QString::fromLatin1(name));
}

} // namespace

class TestSendPreparation : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    AppPaths paths{QString()};
    GlyphLibrary library;

    QString MessageFile(const char* model, const QList<QPair<int, QString>>& rows,
                        int kind = CMessageTable::KindText) {
        static int counter = 0;
        const QString path = dir.filePath(QStringLiteral("m%1.led").arg(++counter));
        WorkFiles::WriteTemplate(Model(model).templateId, path);
        CMessageTable table;
        if (!table.OpenMessageFile(path))
            return {};
        for (const auto& [row, content] : rows) {
            table.WriteContent(row, content);
            table.kind[size_t(row)] = kind;
            table.sendFlag[size_t(row)] = 1;
        }
        table.SaveParams();
        return path;
    }

private slots:
    void initTestCase() {
        paths = AppPaths(dir.path(), dir.path());
        paths.SetDataDir(dir.path() + QStringLiteral("/Data"));
        const QString ascii = paths.DataDir() + QStringLiteral("/ASCII");
        WriteGlyph(ascii + QStringLiteral("/65.bmp"), 2, 7, qRgb(255, 255, 0)); // yellow: both planes
        WriteGlyph(ascii + QStringLiteral("/66.bmp"), 2, 7, qRgb(0, 255, 0));   // green plane only
        WriteGlyph(ascii + QStringLiteral("/32.bmp"), 2, 7, qRgb(0, 0, 0));
        library.Load(paths.DataDir());
    }

    // The window words the problems in the operator's language; the command line in English.
    void contentProblemsAreWordedInTheChosenLanguage() {
        MessageImage image;
        image.refusedCharacters = 40000;
        image.rejectedImages << QStringLiteral("/big.png");
        LanguageTexts russian;
        QVERIFY(russian.SelectLanguage(6));
        const QStringList worded = SendPreparation::ContentProblems(3, image, &russian);
        QCOMPARE(worded.size(), 2);
        QVERIFY2(worded[0].startsWith(QString::fromUtf8("строка 3: в содержимом 40000 символов")),
                 qPrintable(worded[0]));
        QVERIFY2(worded[1].endsWith(QStringLiteral("/big.png")), qPrintable(worded[1]));
        QVERIFY(SendPreparation::ContentProblems(3, image).constFirst().startsWith(
            QStringLiteral("row 3: the content draws 40000")));
    }

    void rowImagesAreSetUpLikeTheMainWindow() {
        RowImages rows(library, paths);
        rows.ApplyModel(Model("P01"));
        QCOMPARE(rows.Row(0).rows, 7);
        QCOMPARE(rows.Row(0).exportHeight, 12);
        QCOMPARE(rows.Row(0).pageWidth, 0);
        QCOMPARE(rows.Row(0).pagePitch, 0);
        QCOMPARE(rows.Row(3).controlId, 20063);
        QCOMPARE(rows.Row(3).imageDir, paths.ImageDir());
        rows.ApplyModel(Model("P13"));
        QCOMPARE(rows.Row(9).pageWidth, 33);
        QCOMPARE(rows.Row(9).pagePitch, 40);
        QCOMPARE(rows.Row(9).exportHeight, 0);
        rows.ApplyModel(Model("P26")); // no geometry: the pitch stays as it was
        QCOMPARE(rows.Row(9).pageWidth, 0);
        QCOMPARE(rows.Row(9).pagePitch, 40);
    }

    void framesArePackedAsTheyAreWritten() {
        RowImages rows(library, paths);
        rows.ApplyModel(Model("P30"));
        const QString content = kRtf.arg(32).arg(QStringLiteral("Hello 12"));
        rows.Row(0).SetContent(content);
        rows.Row(1).SetContent(content);
        QTemporaryFile notAFolder;
        QVERIFY(notAFolder.open());
        rows.Row(1).imageDir = notAFolder.fileName(); // its bitmap cannot be written
        CMessageTable table;
        table.ClearParams();
        Payload payload;
        SendPreparation::PrepareSendData(Model("P30"), rows.Pointers(), table, payload);
        const QByteArray fromFile = DotPacker::PackFrameBitmap(
            rows.Row(0).ExportPath(0), SendPreparation::FrameParams(Model("P30"), false));
        QVERIFY(!fromFile.isEmpty());
        QCOMPARE(payload.At(0, 0).bytes, fromFile);
        QCOMPARE(payload.At(0, 1).length, 0); // nothing written, nothing sent
    }

    // Rows drawn from the Data tree stop a send when their folder is missing and say which
    // (they would go out blank or with gaps); a sign that draws its own characters needs none.
    void missingGlyphFolderStopsTheSendNamingIt() {
        AppPaths bare(dir.path(), dir.path());
        bare.SetDataDir(dir.filePath(QStringLiteral("NoData")));
        GlyphLibrary none;
        CMessageTable table;
        QVERIFY(table.OpenMessageFile(MessageFile("P30", {{0, QStringLiteral("[ASCII]HI")}})));
        Payload payload;
        const QStringList problems =
            SendPreparation::PrepareMessageFile(Model("P30"), table, none, bare, payload);
        QCOMPARE(problems.size(), 1);
        QVERIFY2(problems[0].startsWith(QStringLiteral("row 0: ")) && problems[0].contains(bare.DataDir()),
                 qPrintable(problems[0]));

        QVERIFY(QDir().mkpath(bare.DataDir() + QStringLiteral("/ASCII")));
        QVERIFY(table.WriteContent(1, kRtf.arg(24).arg(QStringLiteral("Bye [GIF_002]"))));
        table.sendFlag[1] = 1;
        const QStringList animation =
            SendPreparation::PrepareMessageFile(Model("P30"), table, none, bare, payload);
        QCOMPARE(animation.size(), 1);
        QVERIFY2(animation[0].contains(bare.DataDir() + QStringLiteral("/Gif/16")), qPrintable(animation[0]));
        QVERIFY(SendPreparation::PrepareMessageFile(Model("P04"), table, none, bare, payload).isEmpty());
    }

    void characterCodeModelsPackTheText() {
        CMessageTable table;
        QVERIFY(table.OpenMessageFile(MessageFile("P04", {{0, QStringLiteral("[ASCII]AB[GIF_003]C  ")},
                                                          {1, kRtf.arg(24).arg(QStringLiteral("x"))}})));
        Payload payload;
        payload.At(1, 0).Assign(QByteArray(300, 'x')); // left by a preparation for another model
        SendPreparation::PrepareMessageFile(Model("P04"), table, library, paths, payload);
        QCOMPARE(payload.At(0, 0).bytes, QByteArray::fromHex("41426343"));
        QCOMPARE(payload.At(1, 0).length, 0);
        QCOMPARE(payload.At(0, 1).length, 0); // RTF has no plain text of its own
    }

    void planeModelsPackRedAndGreenPlanes() {
        CMessageTable table;
        QVERIFY(table.OpenMessageFile(MessageFile("P06", {{0, QStringLiteral("[ASCII]AB")}})));
        Payload payload;
        SendPreparation::PrepareMessageFile(Model("P06"), table, library, paths, payload);
        // A 4-column, 7-line bitmap: yellow dot at (0,0), green dot at (2,0).
        QCOMPARE(payload.At(0, 0).bytes, QByteArray::fromHex("80000000000000"));
        QCOMPARE(payload.At(1, 0).bytes, QByteArray::fromHex("A0000000000000"));
        QVERIFY(QFileInfo::exists(paths.ImageDir() + QStringLiteral("/20060_0.bmp")));
    }

    void twoBitDateRowsEndWithAZeroPage() {
        CMessageTable table;
        QVERIFY(table.OpenMessageFile(
            MessageFile("P30", {{2, QStringLiteral("[DATE_000011]") + kRtf.arg(32).arg(QStringLiteral("I"))}},
                        CMessageTable::KindDate)));
        Payload payload;
        SendPreparation::PrepareMessageFile(Model("P30"), table, library, paths, payload);
        const QByteArray set0 = payload.At(0, 2).bytes;
        QCOMPARE(set0.size(), 512); // one page of text, one zero page
        QCOMPARE(set0.mid(256), QByteArray(256, '\0'));
        QVERIFY(set0.left(256) != QByteArray(256, '\xFF'));      // family 2: lit dots clear their bits
        QCOMPARE(payload.At(1, 2).bytes, QByteArray(256, '\0')); // a still date: one zeroed page
        QCOMPARE(payload.At(0, 0).length, 0);                    // empty rows stay empty
    }

    void commandLineRendersAndPacks() {
        const QString vexa = QStringLiteral(VEXA_BIN_DIR "/vexa");
        if (!QFileInfo::exists(vexa))
            QSKIP("vexa is not built");
        const QString file = MessageFile("P30", {{0, kRtf.arg(32).arg(QStringLiteral("Go"))}});
        QProcess process;
        const QString out = dir.filePath(QStringLiteral("out"));
        process.start(vexa, {QStringLiteral("--data-dir"), dir.path(), QStringLiteral("render"), file,
                             QStringLiteral("--model"), QStringLiteral("P30"), QStringLiteral("--out"), out,
                             QStringLiteral("--preview"), dir.filePath(QStringLiteral("p.png")),
                             QStringLiteral("--json")});
        QVERIFY(process.waitForFinished(60000));
        QCOMPARE(process.exitCode(), 0);
        const QJsonObject render = QJsonDocument::fromJson(process.readAllStandardOutput()).object();
        const QJsonArray rows = render[QStringLiteral("rows")].toArray();
        QCOMPARE(rows.size(), 10);
        QCOMPARE(rows[0].toObject()[QStringLiteral("kind")].toString(), QStringLiteral("rtf"));
        QCOMPARE(rows[0].toObject()[QStringLiteral("exported")].toArray().size(), 1);
        QVERIFY(QFileInfo::exists(out + QStringLiteral("/20060_0.bmp")));
        QVERIFY(!QFileInfo::exists(out + QStringLiteral("/20060_1.bmp")));
        QCOMPARE(QImage(dir.filePath(QStringLiteral("p.png"))).isNull(), false);

        process.start(vexa, {QStringLiteral("--data-dir"), dir.path(), QStringLiteral("pack"), file,
                             QStringLiteral("--model"), QStringLiteral("P30"), QStringLiteral("--json")});
        QVERIFY(process.waitForFinished(60000));
        QCOMPARE(process.exitCode(), 0);
        const QJsonObject pack = QJsonDocument::fromJson(process.readAllStandardOutput()).object();
        QCOMPARE(pack[QStringLiteral("model")].toString(), QStringLiteral("P30"));
        QCOMPARE(pack[QStringLiteral("excess")].toInt(), 0);
        const QJsonObject row0 = pack[QStringLiteral("rows")].toArray()[0].toObject();
        QCOMPARE(row0[QStringLiteral("sendFlag")].toInt(), 1);
        QCOMPARE(row0[QStringLiteral("set0")].toString().size(), 512); // one page of 256 bytes in hex
        QCOMPARE(row0[QStringLiteral("set1")].toString(), QString());

        process.start(vexa, {QStringLiteral("pack"), file, QStringLiteral("--model"), QStringLiteral("P77")});
        QVERIFY(process.waitForFinished(60000));
        QCOMPARE(process.exitCode(), 2);
        QVERIFY(process.readAllStandardError().contains("unknown model"));
    }
};

QTEST_MAIN(TestSendPreparation)
#include "tst_sendpreparation.moc"
