#include "app/WorkFiles.h"
#include "core/ModelCatalogue.h"
#include "render/CharacterGrid.h"
#include "render/GlyphEditModel.h"
#include "render/GlyphLibrary.h"
#include "render/GlyphTextEditorModel.h"
#include "render/ImageEditorModel.h"
#include "render/ui/CEditWnd.h"
#include "store/CMessageTable.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

using namespace vexa;

namespace {

void WriteBitmap(const QString& path, int width, int height) {
    QDir().mkpath(QFileInfo(path).path());
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::black);
    image.setPixel(0, 0, qRgb(255, 0, 0));
    QVERIFY(image.save(path, "BMP"));
}

constexpr quint32 Font1Green = (1u << 13) | (1u << 11);

} // namespace

// The state and models behind the bitmap-font text editor, the character picker and the
// image editor, on a small glyph tree (font 0 red: 6 x 7 glyphs 65..67) and a message file.
class TestGlyphEditors : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    QString data;
    GlyphLibrary library;
    CMessageTable table;

    GlyphEditModel Field(int codes = 0) {
        GlyphEditModel field;
        field.glyphLibrary = &library;
        for (int i = 0; i < codes; ++i)
            field.InsertCode(65);
        return field;
    }
    void Store(const QString& content) { QVERIFY(table.WriteContent(0, content)); }
    GlyphTextEditorModel TextEditor() { return GlyphTextEditorModel(table, 0, {&library, data, 7, {}, {}}); }
    ImageEditorModel ImageEditor(const QStringList& entries = {}, int selected = -1) {
        Store(ContentGrammar::ImageListText(entries));
        ImageEditorModel model(table, 0, {&library, data, 16, {}, {}});
        model.LoadRow();
        model.Select(selected);
        return model;
    }

private slots:
    void initTestCase() {
        data = dir.path() + QStringLiteral("/Data");
        for (int c = 65; c <= 67; ++c)
            WriteBitmap(GlyphLibrary::FontGlyphPath(data, 0, 0, c), 6, 7);
        QCOMPARE(library.Load(data), 3);
        const QString file = dir.path() + QStringLiteral("/1.led");
        QVERIFY(WorkFiles::WriteTemplate(ModelCatalogue::TemplateFor(QStringLiteral("P06")), file));
        QVERIFY(table.OpenMessageFile(file));
    }

    void typingStopsAt256AndPasteAt8000() {
        GlyphEditModel field = Field(255);
        QVERIFY(field.TypeCharacter(u'B'));
        QCOMPARE(field.codes.size(), 256);
        QVERIFY(!field.TypeCharacter(u'B'));
        QCOMPARE(field.codes.size(), 256);
        const GlyphEditModel::PasteResult small = field.Paste(QStringLiteral("xy"));
        QCOMPARE(small.inserted, 2);
        QVERIFY(!small.stopped);

        field.Paste(QString(7990, u'z'));
        QCOMPARE(field.codes.size(), GlyphEditModel::PasteLimit);
        QCOMPARE(field.caretIndex, GlyphEditModel::PasteLimit);
        const GlyphEditModel::PasteResult more = field.Paste(QStringLiteral("q"));
        QCOMPARE(more.inserted, 0);
        QVERIFY(more.stopped);

        GlyphEditModel empty = Field();
        QVERIFY(!empty.TypeCharacter(u'\b'));
        QVERIFY(empty.TypeCharacter(u'A'));
        QVERIFY(empty.TypeCharacter(u'\b'));
        QVERIFY(empty.codes.isEmpty());
    }

    void caretKeysMoveWithinTheCodes() {
        GlyphEditModel field = Field(3);
        field.CaretKeyReleased(GlyphEditModel::CaretKey::Forward);
        QCOMPARE(field.caretIndex, 3);
        field.CaretKeyReleased(GlyphEditModel::CaretKey::Home);
        field.CaretKeyReleased(GlyphEditModel::CaretKey::Back);
        QCOMPARE(field.caretIndex, 0);
        QVERIFY(field.CaretKeyReleased(GlyphEditModel::CaretKey::Delete));
        QCOMPARE(field.codes.size(), 2);
        field.CaretKeyReleased(GlyphEditModel::CaretKey::End);
        QCOMPARE(field.caretIndex, 2);
        QVERIFY(!field.CaretKeyReleased(GlyphEditModel::CaretKey::Delete));
    }

    // The field acts on a caret key when it is released, once however long it is held.
    void fieldMovesTheCaretOnRelease() {
        CEditWnd window;
        window.State().InsertCodes({65, 65, 65});
        QTest::keyPress(&window, Qt::Key_Left);
        QCOMPARE(window.State().caretIndex, 3);
        QTest::keyRelease(&window, Qt::Key_Left);
        QCOMPARE(window.State().caretIndex, 2);
        QKeyEvent repeated(QEvent::KeyRelease, Qt::Key_Left, Qt::NoModifier, QString(), true);
        QApplication::sendEvent(&window, &repeated);
        QCOMPARE(window.State().caretIndex, 2);
    }

    // Glyphs of 6 x 7 dots are 12 x 14 pixels; a 40-pixel field holds three on a line, the
    // fourth goes to the next line 18 pixels down. A click picks the first glyph whose
    // left half it is left of, on the glyph's own line.
    void layoutBreaksLinesAndHitTests() {
        GlyphEditModel field = Field(4);
        field.InsertCode(100); // no glyph: skipped
        const GlyphEditModel::Layout layout = field.LayOut(40);
        QCOMPARE(layout.glyphs.size(), 4);
        QCOMPARE(layout.glyphs[2].rect, QRect(24, 0, 12, 14));
        QCOMPARE(layout.glyphs[3].rect, QRect(0, 18, 12, 14));
        QCOMPARE(layout.missing, QList<int>{4});
        QCOMPARE(layout.caret, QPoint(12, 18));
        QCOMPARE(field.HitTest(40, {5, 3}), 0);
        QCOMPARE(field.HitTest(40, {7, 3}), 1);
        QCOMPARE(field.HitTest(40, {2, 20}), 3);
        QCOMPARE(field.HitTest(40, {39, 3}), 5);
        QCOMPARE(GlyphEditModel::MissingGlyphLine(65 | Font1Green),
                 QStringLiteral("FontType:1, FontColor:1, nChar:A\r\n"));
    }

    void editorLoadsFontAndColourOfTheLastCode_data() {
        QTest::addColumn<QString>("content");
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("font");
        QTest::addColumn<int>("colour");
        QTest::newRow("last 7x9 green") << "[DASCII]65,10305," << 2 << 1 << 1;
        QTest::newRow("last code 0") << "[DASCII]10305,0," << 2 << 0 << 0;
        QStringList many;
        for (int i = 0; i < 9000; ++i)
            many << QString::number(i < 8000 ? 65 : 66 | Font1Green);
        QTest::newRow("9000 codes") << "[DASCII]" + many.join(u',') << 8000 << 0 << 0;
        QTest::newRow("other kind") << "[ASCII]Hi" << 0 << 0 << 0;
    }
    void editorLoadsFontAndColourOfTheLastCode() {
        QFETCH(QString, content);
        QFETCH(int, count);
        QFETCH(int, font);
        QFETCH(int, colour);
        Store(content);
        GlyphTextEditorModel editor = TextEditor();
        editor.LoadRow();
        QCOMPARE(editor.Edit().codes.size(), count);
        QCOMPARE(editor.FontIndex(), font);
        QCOMPARE(editor.ColourIndex(), colour);
    }

    void editorStoresTypedCodes() {
        Store(QString());
        GlyphTextEditorModel editor = TextEditor();
        editor.LoadRow();
        editor.SetFont(1);
        editor.SetColour(1);
        editor.Edit().TypeCharacter(u'A');
        editor.RefreshPreview();
        QCOMPARE(editor.Preview().Content(), QStringLiteral("[DASCII]10305,"));
        bool empty = true;
        QVERIFY(editor.Ok(&empty));
        QVERIFY(!empty);
        QCOMPARE(table.ReadContent(0), QStringLiteral("[DASCII]10305,"));
        QVERIFY(!GlyphTextEditorModel::PickerEnabledFor(4));
        QVERIFY(GlyphTextEditorModel::PickerEnabledFor(3));

        GlyphTextEditorModel cleared = TextEditor();
        cleared.LoadRow();
        cleared.Edit().Clear();
        QVERIFY(cleared.Ok(&empty));
        QVERIFY(empty);
        QCOMPARE(table.ReadContent(0), QStringLiteral("[DASCII]"));
    }

    void gridLoadsNumberedPicturesInNameOrder() {
        QTemporaryDir folder;
        for (const char* name : {"130.bmp", "128.bmp", "129.BMP"})
            WriteBitmap(folder.filePath(QString::fromLatin1(name)), 5, 7);
        QFile(folder.filePath(QStringLiteral("notes.txt"))).open(QIODevice::WriteOnly);
        CharacterGrid grid;
        QCOMPARE(grid.LoadFolder(folder.path()), 3);
        QCOMPARE(grid.Indexes(), (QList<int>{128, 129, 130}));

        for (int i = 0; i < 200; ++i)
            WriteBitmap(folder.filePath(QStringLiteral("%1.bmp").arg(300 + i)), 1, 1);
        QCOMPARE(grid.LoadFolder(folder.path()), CharacterGrid::MaxImages);
    }

    // With 25 pictures row 2, column 7 holds none: hovering it frames nothing and a pick
    // gives nothing; the keyboard walks the cells that hold pictures.
    void gridPicksOnlyCellsWithPictures() {
        QTemporaryDir folder;
        for (int i = 0; i < 25; ++i)
            WriteBitmap(folder.filePath(QStringLiteral("%1.bmp").arg(128 + i)), 5, 7);
        CharacterGrid grid;
        grid.LoadFolder(folder.path());
        const QSizeF client(400, 320); // cells of 40 x 40
        QVERIFY(grid.HoverAt({290, 90}, client));
        QCOMPARE(grid.HoverColumn(), 7);
        QCOMPARE(grid.HoverRow(), 2);
        QVERIFY(!grid.Pick());
        const QImage drawn = grid.Render(client.toSize());
        QVERIFY(drawn.pixel(280, 80) != CharacterGrid::HoverColour);
        QVERIFY(grid.HoverAt({170, 90}, client));
        QCOMPARE(grid.Pick(), 152);
        QCOMPARE(grid.Render(client.toSize()).pixel(160, 100), CharacterGrid::HoverColour);

        QVERIFY(!grid.MoveHover(1, 0)); // 25 has no picture
        QVERIFY(grid.MoveHover(0, -1));
        QCOMPARE(grid.Pick(), 142);
    }

    void imageListMoves_data() {
        QTest::addColumn<int>("selected");
        QTest::addColumn<QString>("move");
        QTest::addColumn<QStringList>("entries");
        QTest::addColumn<int>("selectedAfter");
        QTest::newRow("up B") << 1 << "up" << QStringList{"B", "A", "C"} << 0;
        QTest::newRow("down B") << 1 << "down" << QStringList{"A", "C", "B"} << 2;
        QTest::newRow("up none") << -1 << "up" << QStringList{"A", "B", "C"} << -1;
        QTest::newRow("down none") << -1 << "down" << QStringList{"B", "C", "A"} << -1;
        QTest::newRow("down last") << 2 << "down" << QStringList{"A", "B", "C"} << 2;
        QTest::newRow("del B") << 1 << "del" << QStringList{"A", "C"} << 1;
        QTest::newRow("del none") << -1 << "del" << QStringList{"A", "B", "C"} << 2;
    }
    void imageListMoves() {
        QFETCH(int, selected);
        QFETCH(QString, move);
        QFETCH(QStringList, entries);
        QFETCH(int, selectedAfter);
        ImageEditorModel model = ImageEditor({"A", "B", "C"}, selected);
        if (move == u"up")
            model.Up();
        else if (move == u"down")
            model.Down();
        else
            model.Delete();
        QCOMPARE(model.Entries(), entries);
        QCOMPARE(model.Selected(), selectedAfter);
        QCOMPARE(model.Preview().Content(), ContentGrammar::ImageListText(model.Entries()));
    }

    void imageEditorReadsAndWritesTheRow() {
        Store(QStringLiteral("C:\\p\\a.bmp;C:\\p\\b.gif"));
        ImageEditorModel model(table, 0, {&library, data, 16, {}, {}});
        model.LoadRow();
        QCOMPARE(model.Entries(), QStringList{QStringLiteral("C:\\p\\a.bmp")});

        Store(QStringLiteral("[ASCII]Hi"));
        model.LoadRow();
        QVERIFY(model.Entries().isEmpty());
        QCOMPARE(model.Preview().Kind(), ContentKind::Blank);
        bool empty = false;
        QVERIFY(model.Ok(&empty));
        QVERIFY(empty);
        QCOMPARE(table.ReadContent(0), QStringLiteral("[ASCII]Hi"));

        // A ";" inside a path would split it into two broken entries when read back.
        QCOMPARE(model.Add(QStringLiteral("/pics/a;b.png")), ImageEditorModel::AddResult::HasSeparator);
        QVERIFY(model.Entries().isEmpty());
        QCOMPARE(model.Add(QStringLiteral("C:\\p\\a.bmp")), ImageEditorModel::AddResult::Added);
        model.Add(QStringLiteral("C:\\p\\b.gif"));
        QVERIFY(model.Ok(&empty));
        QVERIFY(!empty);
        QCOMPARE(table.ReadContent(0), QStringLiteral("C:\\p\\a.bmp;C:\\p\\b.gif;"));
    }
};

QTEST_MAIN(TestGlyphEditors)
#include "tst_glypheditors.moc"
