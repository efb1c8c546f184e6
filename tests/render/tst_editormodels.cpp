#include "app/WorkFiles.h"
#include "core/ModelCatalogue.h"
#include "render/DateEditorModel.h"
#include "render/TextEditorModel.h"
#include "store/CMessageTable.h"

#include <QTemporaryDir>
#include <QTest>

using namespace vexa;

// The text and date editors without their dialogs: what they read from the row, what
// they decide and the content strings they write.
class TestEditorModels : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    CMessageTable table;

    const DisplayModel& Model(const char* name) { return *ModelCatalogue::Find(QLatin1String(name)); }

    void FreshFile() {
        const QString path = dir.filePath(QStringLiteral("1.led"));
        QVERIFY(WorkFiles::WriteTemplate(177, path));
        QVERIFY(table.OpenMessageFile(path));
    }

private slots:
    void init() { FreshFile(); }

    void sevenRowTextIsTrimmedBitmapFontText() {
        TextEditorModel editor(table, Model("P01"), 2, {});
        QVERIFY(table.WriteContent(2, QStringLiteral("[ASCII]Old")));
        const auto loaded = editor.LoadRow();
        QCOMPARE(loaded.kind, ContentEditorModel::LoadedText::Plain);
        QCOMPARE(loaded.text, QStringLiteral("Old"));
        QCOMPARE(editor.RefreshPreview(QStringLiteral("ABCD"), {}), QStringLiteral("4/255"));
        QCOMPARE(editor.Preview().Content(), QStringLiteral("[ASCII]ABCD"));
        QVERIFY(editor.Accept(QStringLiteral("  Hello  "), {}));
        QVERIFY(!editor.EmptyResult());
        QCOMPARE(table.ReadContent(2), QStringLiteral("[ASCII]Hello"));
        QVERIFY(editor.Accept(QStringLiteral(" \t "), {}));
        QVERIFY(editor.EmptyResult());
    }

    void richTextKeepsTheRtfAndOtherKindsOpenEmpty() {
        TextEditorModel editor(table, Model("P29"), 0, {});
        QVERIFY(table.WriteContent(0, QStringLiteral("[DATE_000011][ASCII]x")));
        QCOMPARE(editor.LoadRow().kind, ContentEditorModel::LoadedText::Empty);
        const QString rtf = QStringLiteral("{\\rtf1 x}");
        QCOMPARE(editor.ContentFor(QStringLiteral(" x "), rtf), rtf);
        QVERIFY(editor.Accept(QStringLiteral("  "), rtf));
        QVERIFY(editor.EmptyResult()); // stored all the same; the main window empties the row
        QCOMPARE(table.ReadContent(0), rtf);
    }

    void defaultFormatFollowsTheModel_data() {
        QTest::addColumn<QString>("model");
        QTest::addColumn<int>("textTwips");
        QTest::addColumn<int>("dateTwips");
        QTest::addColumn<QString>("face");
        QTest::addColumn<int>("charset");
        QTest::newRow("P01") << "P01" << 140 << 140 << "Arial" << 0;
        QTest::newRow("P04") << "P04" << 240 << 240 << "Arial" << 0;
        QTest::newRow("P13") << "P13" << 240 << 240 << "MingLiU" << 134;
        QTest::newRow("P15") << "P15" << 240 << 240 << "Arial" << 0;
        QTest::newRow("P29") << "P29" << 320 << 320 << "Arial" << 0;
    }
    void defaultFormatFollowsTheModel() {
        QFETCH(QString, model);
        QFETCH(int, textTwips);
        QFETCH(int, dateTwips);
        QFETCH(QString, face);
        QFETCH(int, charset);
        const DisplayModel& m = *ModelCatalogue::Find(model);
        const CharFormat text = TextEditorModel(table, m, 0, {}).DefaultFormat();
        QCOMPARE(text.sizeTwips, textTwips);
        QCOMPARE(text.face, face);
        QCOMPARE(text.charset, charset);
        QCOMPARE(text.colour, qRgb(255, 255, 0));
        QCOMPARE(DateEditorModel(table, m, 0, {}).DefaultFormat().sizeTwips, dateTwips);
    }

    void palettesByModel() {
        QVERIFY(!TextEditorModel(table, Model("P04"), 0, {}).FacePaletteVisible());
        QVERIFY(TextEditorModel(table, Model("P01"), 0, {}).FacePaletteVisible());
        QVERIFY(ContentEditorModel::PaletteAccepts(QString(247, u'a')));
        QVERIFY(!ContentEditorModel::PaletteAccepts(QString(248, u'a')));
        QCOMPARE(ContentEditorModel::Token(5), QStringLiteral("[GIF_005]"));
        QCOMPARE(ContentEditorModel::WithoutLineBreaks(QStringLiteral("AB\r\nC\u2029D")),
                 QStringLiteral("ABCD"));
    }

    // The arrows step the list inward two entries from either end and write the row at once.
    void yOffsetArrowsAndList() {
        TextEditorModel editor(table, Model("P29"), 4, {});
        table.yOffset[4] = -8;
        QCOMPARE(editor.YOffsetIndex(), 0);
        QCOMPARE(editor.StepYOffset(0, +1), 2);
        QCOMPARE(table.yOffset[4], -6);
        QCOMPARE(editor.Preview().yOffset, -6);
        QCOMPARE(editor.StepYOffset(16, -1), 14);
        QCOMPARE(table.yOffset[4], 6);
        QCOMPARE(editor.StepYOffset(8, -1), 7);
        QCOMPARE(table.yOffset[4], -1);
        table.yOffset[4] = 12;
        QCOMPARE(editor.YOffsetIndex(), -1);
        CMessageTable reread;
        QVERIFY(reread.OpenMessageFile(table.MessageFilePath()));
        QCOMPARE(reread.yOffset[4], -1); // on disk at once, not only at the next row change
    }

    void selectionFormatPicksListEntries() {
        TextEditorModel editor(table, Model("P29"), 0, {});
        const QStringList faces{QStringLiteral("DejaVu Sans"), QStringLiteral("Liberation Sans"),
                                QStringLiteral("Liberation Serif")};
        CharFormat format;
        format.face = QStringLiteral("liberation s");
        format.sizeTwips = 330;
        format.colour = qRgb(0x00, 0x96, 0xFF);
        format.bold = true;
        auto view = editor.ShowSelectionFormat(format, faces);
        QCOMPARE(view.faceIndex, 1);
        QCOMPARE(view.sizeIndex, 10); // 16 points
        QCOMPARE(view.colourIndex, 5);
        QVERIFY(view.bold && !view.italic);
        QCOMPARE(editor.fontSize, 16);
        format.colour = qRgb(0x12, 0x34, 0x56);
        format.face = QStringLiteral("Nowhere");
        view = editor.ShowSelectionFormat(format, faces);
        format.sizeTwips = 480; // 24 points, above the list
        view = editor.ShowSelectionFormat(format, faces);
        QCOMPARE(view.colourIndex, -1);
        QCOMPARE(view.faceIndex, -1);
        QCOMPARE(view.sizeIndex, -1);
        format.sizeTwips = 40; // 2 points: not the list's 20
        QCOMPARE(editor.ShowSelectionFormat(format, faces).sizeIndex, -1);
        editor.ChooseColour(7);
        editor.fontSize = 9;
        const CharFormat applied = editor.ApplyFormat(format, false, true, true);
        QCOMPARE(applied.colour, qRgb(0xFF, 0x96, 0x00));
        QCOMPARE(applied.sizeTwips, 180);
        QVERIFY(applied.italic && applied.underline && !applied.bold);
    }

    void pageAlignmentFollowsTheRowPreviewRule() {
        table.holdTime[1] = 0;
        table.effect[1] = 1;
        QCOMPARE(TextEditorModel(table, Model("P29"), 1, {}).Preview().PageAlign(), 0);
        table.holdTime[1] = 2;
        QCOMPARE(TextEditorModel(table, Model("P29"), 1, {}).Preview().PageAlign(), 1);
    }

    void dateContentsLoad_data() {
        QTest::addColumn<QString>("content");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("tag");
        QTest::newRow("ascii text") << "[DATE_111000][ASCII]Today"
                                    << "Today"
                                    << "[DATE_111000]";
        QTest::newRow("no closing bracket") << "[DATE_110000"
                                            << ""
                                            << "[DATE_000000]";
        QTest::newRow("non-digit flags") << "[DATE_1x1]"
                                         << ""
                                         << "[DATE_101000]";
        QTest::newRow("not a date") << "[ASCII]Hi"
                                    << ""
                                    << "[DATE_000011]";
    }
    void dateContentsLoad() {
        QFETCH(QString, content);
        QFETCH(QString, text);
        QFETCH(QString, tag);
        QVERIFY(table.WriteContent(3, content));
        DateEditorModel editor(table, Model("P04"), 3, {});
        QCOMPARE(editor.LoadRow().text, text);
        QCOMPARE(editor.FlagTag(), tag);
    }

    void dateSampleAndContents() {
        DateEditorModel editor(table, Model("P29"), 3, {});
        editor.SetClock([] { return QDateTime(QDate(2015, 8, 15), QTime(12, 30, 5)); });
        QCOMPARE(editor.BuildSample(), QStringLiteral("12:30:05"));
        editor.SetFlag(DateEditorModel::Year, true);
        editor.SetFlag(DateEditorModel::Month, true);
        editor.SetFlag(DateEditorModel::Day, true);
        editor.SetFlag(DateEditorModel::Seconds, false);
        QCOMPARE(editor.BuildSample(), QStringLiteral("2015-08-1512:30"));
        editor.SetFlag(DateEditorModel::Weekday, true);
        QCOMPARE(editor.BuildSample(), QStringLiteral("2015-08-15 \u661F\u671F\u516D 12:30"));
        const QString rtf = QStringLiteral("{\\rtf1 Now}");
        QCOMPARE(editor.ContentFor(QStringLiteral("Now"), rtf), QStringLiteral("[DATE_111110]") + rtf);
        DateEditorModel seven(table, Model("P04"), 3, {});
        QVERIFY(seven.Accept(QStringLiteral(" Now "), {}));
        QCOMPARE(table.ReadContent(3), QStringLiteral("[DATE_000011][ASCII]Now"));
    }

    // The date editor's Arabic box is stored and previewed like the text editor's.
    void dateArabicIsStoredAndPreviewed() {
        DateEditorModel editor(table, Model("P29"), 6, {});
        editor.SetArabic(true);
        QCOMPARE(table.arabic[6], 1);
        QCOMPARE(editor.Preview().arabic, 1);
    }
};

QTEST_MAIN(TestEditorModels)
#include "tst_editormodels.moc"
