// Renders a varied corpus of row contents for every display model, and writes or checks
// what comes out: the exported message bitmaps (Image/<control>_<frame>.bmp), the packed
// dot bytes of each send preparation and the enlarged previews. Used to prove that a
// change of the rendering code leaves every dot where it was:
//
//   bench_corpus --write DIR   writes the reference files into DIR
//   bench_corpus --check DIR   renders again into a temporary folder and compares every
//                              file with DIR byte for byte (exit status 1 on a difference)
#include "core/ModelCatalogue.h"
#include "render/BmpWriter.h"
#include "render/GlyphLibrary.h"
#include "render/MessageImage.h"
#include "render/RowImages.h"
#include "render/SendPreparation.h"
#include "store/CMessageTable.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <array>
#include <cstdio>

using namespace vexa;

namespace {

QString Rtf(const QString& colours, const QString& body,
            const QString& fonts = QStringLiteral("{\\f0\\fnil\\fcharset0 Arial;}")) {
    return QStringLiteral(
               "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl%1}{\\colortbl ;%2}\\viewkind4\\uc1\\pard%3\\par}")
        .arg(fonts, colours, body);
}

const QString kColours = QStringLiteral(
    "\\red255\\green0\\blue0;\\red0\\green255\\blue0;\\red255\\green255\\blue0;\\red255\\green150\\blue0;"
    "\\red160\\green233\\blue0;\\red255\\green0\\blue255;\\red150\\green0\\blue255;\\red0\\green150\\blue255;"
    "\\red0\\green255\\blue255;\\red18\\green52\\blue86;");

QString LongText(int length) {
    QString text;
    const QString words = QStringLiteral("Departure platform 7 delayed [GIF_002] by 15 minutes; WjfQy ");
    while (text.size() < length)
        text += words;
    text.truncate(length);
    return text;
}

// Contents for one model height: every content kind, RTF with several sizes, colours
// (plain and banded), bold, italic, underline, animation glyphs, right-to-left and CJK
// text, look-alike tokens, long rows.
QStringList Contents(int rows, const QString& data) {
    const QString fs = QString::number(rows * 2);
    const QString half = QString::number(rows);
    QStringList list;
    list << Rtf(kColours, QStringLiteral("\\cf1\\f0\\fs%1 Hello World 123").arg(fs));
    list << Rtf(
        kColours,
        QStringLiteral(
            "\\cf4\\f0\\fs%1 Banded AVAWjf \\cf5\\b bold \\cf6\\i italic\\b0  \\cf7\\ul under\\ulnone "
            "\\cf8\\fs%2 small \\cf9\\fs%1 end \\cf10 odd")
            .arg(fs, half));
    list << Rtf(kColours,
                QStringLiteral("\\cf2\\f0\\fs%1 Go [GIF_002] now [GIF_010]\\cf4 [GIF_001] banded [GIF_1234]")
                    .arg(fs));
    list << Rtf(
        kColours,
        QStringLiteral("\\cf1\\f0\\fs%1 \\u1605?\\u1585?\\u1581?\\u1576?\\u1575? \\u1576?\\u1603?\\u1605? 12")
            .arg(fs));
    list << Rtf(kColours, QStringLiteral("\\cf3\\f1\\fs%1 \\u20013?\\u25991?\\u28204?\\u35797? ab").arg(fs),
                QStringLiteral("{\\f0\\fnil\\fcharset0 Arial;}{\\f1\\fnil\\fcharset134 SimSun;}"));
    list << Rtf(kColours,
                QStringLiteral("\\cf6\\f0\\fs%1\\i\\ul fjord jiffy \\cf4 WAVE//\\\\ \\cf1\\b0 ff").arg(fs));
    list << Rtf(kColours, QStringLiteral("\\cf2\\f1\\fs%1 Serif Text \\f0 Sans\\tab tab   ").arg(fs),
                QStringLiteral("{\\f0\\fnil\\fcharset0 Arial;}{\\f1\\froman\\fcharset0 Times New Roman;}"));
    list << Rtf(kColours, QStringLiteral("\\cf4\\f0\\fs%1 %2").arg(fs, LongText(255)));
    list << Rtf(kColours, QStringLiteral("\\cf1\\f0\\fs%1 %2").arg(fs, LongText(1200)));
    list << QStringLiteral("[ASCII]Hello [GIF_003] world ~{|}");
    list << QStringLiteral("[DASCII]65,66,2113,4162,8257,16450,999999,67,");
    list << QStringLiteral("[DATE_111111]") + Rtf(kColours, QStringLiteral("\\cf1\\f0\\fs%1 Time").arg(fs));
    list << QStringLiteral("[DATE_110100][ASCII]Clock");
    list << QStringLiteral("[DATE_001011]");
    list << QStringLiteral("%1/Gif/%2/1_0.bmp;%1/Gif/%2/3_1.bmp;%1/missing.bmp;%1/Gif/%2/5_0.bmp;")
                .arg(data)
                .arg(rows);
    list << QStringLiteral("   ");
    list << Rtf(kColours, QStringLiteral("\\cf5\\f0\\fs%1 [GIF_000][GIF_031]").arg(fs));
    list << Rtf(kColours,
                QStringLiteral("\\cf9\\f0\\fs%1\\b BOLD 0123456789 MW").arg(QString::number(rows * 2 + 4)));
    list << Rtf(kColours, QStringLiteral("\\cf7\\f0\\fs%1 x").arg(fs));
    list << Rtf(kColours,
                QStringLiteral("\\cf3\\f0\\fs%1 Mixed \\cf4 colours \\cf1 in \\cf8 one \\cf5 row").arg(fs));
    // Italic, underlined and banded ink right against animation glyphs of both frames.
    list << Rtf(kColours,
                QStringLiteral("\\cf5\\f0\\fs%1\\i W[GIF_003]f\\ul j[GIF_004]\\ulnone\\cf2 AV[GIF_005]\\b0 "
                               "\\cf4 fj[GIF_006][GIF_007]jf\\i0  [GIF_008]W")
                    .arg(fs));
    return list;
}

int KindOf(const QString& content) {
    if (content.startsWith(ContentGrammar::DateTag))
        return CMessageTable::KindDate;
    return CMessageTable::KindText;
}

void WriteFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
}

QByteArray RawPixels(const QImage& image) {
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    QByteArray out = QByteArray::number(argb.width()) + 'x' + QByteArray::number(argb.height()) + '\n';
    for (int y = 0; y < argb.height(); ++y)
        out.append(reinterpret_cast<const char*>(argb.constScanLine(y)), argb.width() * 4);
    return out;
}

// Renders the corpus into out: one folder per model and batch of ten rows.
void RenderCorpus(const QString& out, const GlyphLibrary& library, const QString& data) {
    const QDateTime fixedClock(QDate(2026, 3, 4), QTime(13, 57, 9));
    for (const DisplayModel& model : ModelCatalogue::All()) {
        const QStringList contents = Contents(model.rows, data);
        for (qsizetype first = 0; first < contents.size(); first += RowImages::RowCount) {
            const QString dir =
                QStringLiteral("%1/%2_%3").arg(out, QString::fromLatin1(model.name)).arg(first / 10);
            QDir().mkpath(dir);
            std::array<MessageImage, RowImages::RowCount> images;
            SendPreparation::RowImageList list{};
            CMessageTable table;
            table.ClearParams();
            QByteArray previews;
            for (int row = 0; row < RowImages::RowCount; ++row) {
                MessageImage& image = images[static_cast<size_t>(row)];
                const qsizetype index = first + row;
                const QString content = index < contents.size() ? contents[index] : QString();
                image.glyphLibrary = &library;
                image.dataDir = data;
                image.imageDir = dir;
                image.controlId = RowImages::FirstControlId + row;
                image.clock = [fixedClock] { return fixedClock; };
                image.yOffset = std::array{0, 2, -3, 0, 8, 0, -8, 1, 0, 0}[static_cast<size_t>(row)];
                image.arabic = (index % 10 == 3) ? 1 : 0;
                RowImages::ApplyModelTo(image, model);
                image.SetContent(content);
                image.SetPageAlign(index % 7 != 5);
                list[static_cast<size_t>(row)] = &image;
                table.kind[static_cast<size_t>(row)] = KindOf(content);
                table.sendFlag[static_cast<size_t>(row)] = 1;
                // Whole and fractional dot sizes, wide and narrow windows, a window too
                // small for any dot.
                for (const QSize client : {QSize(400, model.rows * 3 + 2), QSize(642, model.rows * 4 + 5),
                                           QSize(97, model.rows * 2 + 3), QSize(3, 2)}) {
                    previews += RawPixels(image.PreviewRaster(client));
                    previews += QByteArray::number(image.contentWidth) + '\n';
                }
            }
            Payload payload;
            SendPreparation::PrepareSendData(model, list, table, payload);
            SendPreparation::LimitDataSize(model, table, payload);
            QByteArray packed;
            for (int set = 0; set < 2; ++set)
                for (int row = 0; row < RowImages::RowCount; ++row) {
                    const PayloadEntry& entry = payload.At(set, row);
                    packed += QByteArray::number(entry.length) + ':' + entry.bytes.left(entry.length) + '\n';
                }
            WriteFile(dir + QStringLiteral("/packed.bin"), packed);
            WriteFile(dir + QStringLiteral("/previews.raw"), previews);
        }
    }
}

QStringList FilesUnder(const QString& root) {
    QStringList files;
    QDirIterator it(root, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << QDir(root).relativeFilePath(it.next());
    files.sort();
    return files;
}

QByteArray Read(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

int Compare(const QString& reference, const QString& actual) {
    const QStringList expected = FilesUnder(reference);
    const QStringList got = FilesUnder(actual);
    int differences = 0;
    if (expected != got) {
        std::printf("file lists differ: %lld reference files, %lld rendered\n",
                    static_cast<long long>(expected.size()), static_cast<long long>(got.size()));
        ++differences;
    }
    for (const QString& name : expected) {
        if (got.contains(name) && Read(reference + u'/' + name) != Read(actual + u'/' + name)) {
            std::printf("differs: %s\n", qPrintable(name));
            ++differences;
        }
    }
    std::printf("%lld files compared, %d differences\n", static_cast<long long>(expected.size()),
                differences);
    return differences == 0 ? 0 : 1;
}

} // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 3 || (args[1] != QLatin1String("--write") && args[1] != QLatin1String("--check"))) {
        std::fprintf(stderr, "usage: bench_corpus --write DIR | --check DIR\n");
        return 2;
    }
    const QString data = QStringLiteral(VEXA_BIN_DIR "/Data");
    if (!QFileInfo(data + QStringLiteral("/Gif")).isDir()) {
        std::fprintf(stderr, "no Data tree at %s: build the vexa_data target first\n", qPrintable(data));
        return 2;
    }
    GlyphLibrary library;
    library.Load(data);
    const QString dir = QDir(args[2]).absolutePath();
    if (args[1] == QLatin1String("--write")) {
        RenderCorpus(dir, library, data);
        std::printf("reference written to %s (%lld files)\n", qPrintable(dir),
                    static_cast<long long>(FilesUnder(dir).size()));
        return 0;
    }
    QTemporaryDir temp;
    RenderCorpus(temp.path(), library, data);
    return Compare(dir, temp.path());
}
