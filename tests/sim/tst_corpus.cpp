// What the operator sees against what the sign shows, on message files written by other
// programs (tests/data/corpus: RTF from LibreOffice and pandoc in the ten languages, real
// pictures): every row is previewed, prepared and packed as a send does it, framed by its
// family, decoded by the simulator's decoder and drawn by its dot renderer, and the dots
// are compared one by one.
#include "core/ModelCatalogue.h"
#include "core/SignColours.h"
#include "link/families/LinkFamilies.h"
#include "render/GlyphLibrary.h"
#include "render/RowImages.h"
#include "render/SendPreparation.h"
#include "sim/DotRenderer.h"
#include "sim/SignDecoder.h"
#include "store/AppPaths.h"
#include "store/CMessageTable.h"

#include <QtTest>
#include <algorithm>
#include <map>

using namespace vexa;

namespace {

const QString kCorpus = QStringLiteral(VEXA_TEST_DATA_DIR "/corpus");

QRgb PixelOr(const QImage& image, int x, int y, QRgb outside) {
    return x < image.width() && y < image.height() ? image.pixel(x, y) : outside;
}

// The first dot where preview and sign differ, "" when none does.
QString FirstDifference(const QImage& preview, const QImage& sign) {
    const int width = std::max(preview.width(), sign.isNull() ? 0 : sign.width());
    for (int y = 0; y < preview.height(); ++y) {
        for (int x = 0; x < width; ++x) {
            const QRgb shown = PixelOr(preview, x, y, SignColours::OpaqueBlack) | 0xFF000000u;
            const QRgb lit = sign.isNull() ? SignColours::OpaqueBlack
                                           : PixelOr(sign, x, y, SignColours::OpaqueBlack) | 0xFF000000u;
            if (shown != lit)
                return QStringLiteral("dot (%1, %2): preview %3, sign %4")
                    .arg(x)
                    .arg(y)
                    .arg(shown, 8, 16, QLatin1Char('0'))
                    .arg(lit, 8, 16, QLatin1Char('0'));
        }
    }
    return {};
}

bool AnyLit(const QImage& image) {
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if ((image.pixel(x, y) | 0xFF000000u) != SignColours::OpaqueBlack)
                return true;
    return false;
}

QByteArray Wire(const FrameSequence& steps) {
    QByteArray wire;
    for (const FrameStep& step : steps)
        wire += step.bytes;
    return wire;
}

// The dots the sign received for each slot, as the simulator draws them (frame 0; the
// two planes of a plane model together).
std::map<int, QImage> SignDots(const DisplayModel& model, const CMessageTable& table, const Payload& payload,
                               LedColour led, const QString& dataDir) {
    SendInputs inputs;
    inputs.family = model.family;
    inputs.rows = model.rows;
    inputs.slotCount = model.slotCount;
    inputs.pageWidth = model.pageWidth;
    inputs.payload = &payload;
    for (int j = 0; j < Payload::RowCount; ++j)
        SendInputsAccess::Slot(inputs, j).sendFlag = table.sendFlag[size_t(j)];
    auto decoder = SignDecoder::ForModel(model);
    SimEvents events = decoder->Feed(Wire(LinkFamilies::SendSequence(inputs)));
    const SimEvents rest = decoder->Flush();
    events.insert(events.end(), rest.begin(), rest.end());
    std::map<int, QImage> red;
    std::map<int, QImage> dots;
    for (const QJsonObject& event : events) {
        if (event.value(QStringLiteral("event")).toString() != QLatin1String("message"))
            continue;
        const int slot = event.value(QStringLiteral("slot")).toInt();
        const int set = event.value(QStringLiteral("set")).toInt();
        const QByteArray data =
            QByteArray::fromHex(event.value(QStringLiteral("data")).toString().toLatin1());
        const QImage image = model.packKind == PackKind::CharacterCodes
                                 ? DotRenderer::RenderCharacters(model, data, dataDir, led)
                                 : DotRenderer::Render(model, data, set, led);
        // Frame 0 comes first; a plane model sends its red plane as set 0, its green as set 1.
        if (model.packKind == PackKind::ColourPlanes && set == 0)
            red.try_emplace(slot, image);
        else if (model.packKind != PackKind::ColourPlanes || set == 1)
            dots.try_emplace(slot, image);
    }
    for (auto& [slot, green] : dots)
        if (model.packKind == PackKind::ColourPlanes)
            green = DotRenderer::Combine(red[slot], green);
    return dots;
}

} // namespace

class TestCorpus : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    AppPaths paths{QString()};
    GlyphLibrary library;

private slots:
    void initTestCase() {
        paths = AppPaths(dir.path(), dir.path());
        paths.SetDataDir(
            QStringLiteral(VEXA_BIN_DIR "/Data")); // the glyphs a 7-row sign's font is drawn from
        library.Load(paths.DataDir());
    }

    void previewIsWhatTheSignShows_data() {
        QTest::addColumn<QString>("model");
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("ledColour");        // LedColour
        QTest::addColumn<QList<int>>("differing"); // rows whose preview is not what the sign shows
        QTest::addColumn<QList<int>>("sentEmpty"); // rows the row check says arrive empty
        const QList<int> none;
        for (const char* file : {"libreoffice", "pandoc"}) {
            const QString name = QString::fromLatin1(file);
            QTest::addRow("P30 %s", file)
                << QStringLiteral("P30") << name << int(LedColour::Red) << none << none;
            QTest::addRow("P13 amber %s", file)
                << QStringLiteral("P13") << name << int(LedColour::Amber) << none << none;
            QTest::addRow("P06 %s", file)
                << QStringLiteral("P06") << name << int(LedColour::Red) << none << none;
            QTest::addRow("P26 %s", file)
                << QStringLiteral("P26") << name << int(LedColour::Red) << none << none;
            // A character-code sign receives nothing of RTF and pictures: every such row is
            // previewed dark, as the sign shows it, and warned as sent empty; rows 6 to 8 are
            // its own kinds of text, drawn by the simulator from the bytes it received.
            QTest::addRow("P04 white %s", file) << QStringLiteral("P04") << name << int(LedColour::White)
                                                << none << QList<int>{0, 1, 2, 3, 4, 5};
        }
    }
    void previewIsWhatTheSignShows() {
        QFETCH(QString, model);
        QFETCH(QString, file);
        QFETCH(int, ledColour);
        const auto led = static_cast<LedColour>(ledColour);
        QFETCH(QList<int>, differing);
        QFETCH(QList<int>, sentEmpty);
        const DisplayModel& display = *ModelCatalogue::Find(model);
        const QString path = dir.filePath(file + model + QStringLiteral(".led"));
        QFile::remove(path);
        QVERIFY(QFile::copy(kCorpus + u'/' + file + QStringLiteral(".led"), path));
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
        CMessageTable table;
        QVERIFY(table.OpenMessageFile(path));
        if (file == QLatin1String("pandoc")) {
            // Real pictures side by side (a logo, a photo, icons), then the photo alone.
            const QString pictures = kCorpus + QStringLiteral("/pictures/");
            QVERIFY(table.WriteContent(5, pictures + QStringLiteral("debian-logo.png;") + pictures +
                                              QStringLiteral("git-logo.png;") + pictures +
                                              QStringLiteral("libreoffice-writer.png;")));
            QVERIFY(table.WriteContent(6, pictures + QStringLiteral("rose.png;")));
            for (size_t row : {5u, 6u}) {
                table.kind[row] = 2;
                table.sendFlag[row] = 1;
            }
        }
        if (model == QLatin1String("P04")) {
            // What such a sign does receive: text with letters it drops or draws otherwise,
            // glyph codes (sent as their digits) and a date (sent as its text).
            const QStringList texts = {QStringLiteral("[ASCII]Nächster Halt 5°[GIF_003]"),
                                       QStringLiteral("[DASCII]65,66,"),
                                       QStringLiteral("[DATE_000011][ASCII]Gleis 3")};
            for (qsizetype i = 0; i < texts.size(); ++i) {
                const auto row = static_cast<size_t>(6 + i); // rows 6 to 8, the last of P04's nine
                QVERIFY(table.WriteContent(int(row), texts[i]));
                table.kind[row] = texts[i].startsWith(QLatin1String("[DATE_")) ? 3 : 1;
                table.sendFlag[row] = 1;
            }
        }

        RowImages rows(library, paths);
        rows.SetLedColour(led);
        Payload payload;
        SendPreparation::PrepareMessageFile(display, table, rows, payload);
        const std::map<int, QImage> sign = SignDots(display, table, payload, led, paths.DataDir());
        const int firstSlot = sign.empty() ? 0 : sign.begin()->first;

        QList<int> found;
        QList<int> warnedEmpty;
        QStringList why;
        for (int row = 0; row < display.slotCount && row < RowImages::RowCount; ++row) {
            MessageImage& image = rows.Row(row);
            if (!table.sendFlag[size_t(row)] || image.Kind() == ContentKind::Blank)
                continue;
            const RowFindings& findings = image.Findings();
            if (std::any_of(findings.begin(), findings.end(),
                            [](const RowFinding& f) { return f.kind == RowFinding::Kind::SentEmpty; }))
                warnedEmpty << row;
            const QImage preview = image.PreviewDots(image.Measure() + 1);
            const auto received = sign.find(firstSlot + row);
            const QImage dots = received == sign.end() ? QImage() : received->second;
            if (model == QLatin1String("P04") && row >= 6)
                QVERIFY2(AnyLit(dots),
                         qPrintable(QStringLiteral("row %1: the simulator drew nothing").arg(row)));
            if (const QString difference = FirstDifference(preview, dots); !difference.isEmpty()) {
                found << row;
                why << QStringLiteral("row %1: %2").arg(row).arg(difference);
            }
        }
        QVERIFY2(found == differing, qPrintable(why.join(u'\n')));
        QCOMPARE(warnedEmpty, sentEmpty);
    }
};

QTEST_MAIN(TestCorpus)
#include "tst_corpus.moc"
