#include "app/CVexaApp.h"
#include "app/WorkFiles.h"
#include "app/ui/CVexaDlg.h"
#include "app/ui/IContentEditorLauncher.h"
#include "editors/CAutoRichEditCtrl.h"
#include "editors/CDialogDate.h"
#include "editors/CSmallIconComboBox.h"
#include "editors/CTxtDialog.h"
#include "editors/CUpDownArrows.h"
#include "render/RowImages.h"
#include "support/MainWindowRig.h"
#include "support/WhenModal.h"
#include "support/WidgetFinder.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <functional>
#include <memory>

using namespace vexa;

// The text and date editors opened from the main window the way an operator opens them:
// from a row's content menu or by double-clicking its preview.
class TestEditorDialogs : public QObject, public test::MainWindowRig {
    Q_OBJECT

    static constexpr int TextItem = 20091;
    static constexpr int DateItem = 20093;

    void Open(const QString& model) {
        OpenWindow({.model = model, .dataDir = QStringLiteral(VEXA_BIN_DIR "/Data")});
    }

    // Runs drive on the editor dialog D that open() brings up, once it is the active
    // window; false when none came.
    template <typename D>
    bool WithEditor(const std::function<void()>& open, const std::function<void(D&)>& drive) {
        bool seen = false;
        test::WhenModal<D>([&](D* dialog) {
            seen = true;
            dialog->activateWindow();
            if (QTest::qWaitForWindowActive(dialog))
                drive(*dialog);
            else
                QTest::qFail("the editor did not become the active window", __FILE__, __LINE__);
        });
        open();
        return seen;
    }
    template <typename D> bool FromMenu(int row, int item, const std::function<void(D&)>& drive) {
        return WithEditor<D>([&] { QVERIFY(test::ChooseMenuItem(window.get(), 20070 + row, item)); }, drive);
    }
    template <typename D> bool FromPreview(int row, const std::function<void(D&)>& drive) {
        return WithEditor<D>([&] { emit window->Preview(row)->doubleClicked(); }, drive);
    }

    static void Type(QWidget& dialog, const QString& text) {
        QTest::keyClicks(test::Get<CAutoRichEditCtrl>(&dialog, 1063), text);
    }
    static void Ok(QWidget& dialog) { QTest::mouseClick(test::Get<QPushButton>(&dialog, 1), Qt::LeftButton); }
    static QString Counter(QWidget& dialog) { return test::Get<QLabel>(&dialog, 1090)->text(); }

    QString Content(int row) { return app->messageTable.ReadContent(row); }

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void cleanup() { CloseWindow(); }

    void sevenRowTextIsTrimmedAsciiWithoutLineBreaks() {
        OPEN(QStringLiteral("P01"));
        QVERIFY(FromMenu<CTxtDialog>(0, TextItem, [](CTxtDialog& d) {
            QCOMPARE(d.windowTitle(), QStringLiteral("Text Editor"));
            QCOMPARE(d.property("templateId").toInt(), 140);
            for (int id : {20002, 20001, 20000, 1060, 1080, 20003, 1101, 1098})
                QVERIFY2(d.Control(id)->isHidden(), qPrintable(QString::number(id)));
            QVERIFY(d.Control(20110)->isVisibleTo(&d) && d.Control(1104)->isVisibleTo(&d));
            // Every control can be named by a screen reader.
            for (QWidget* w : d.findChildren<QWidget*>()) {
                if (w->property("controlId").toInt() != 0)
                    QVERIFY2(!w->accessibleName().isEmpty(), qPrintable(w->property("controlId").toString()));
            }
            Type(d, QStringLiteral("  Hel"));
            QTest::sendKeyEvent(QTest::Click, d.Control(1063), Qt::Key_Eacute, QStringLiteral("\u00E9"),
                                Qt::NoModifier);
            Type(d, QStringLiteral("lo  "));
            Ok(d);
        }));
        QCOMPARE(Content(0), QStringLiteral("[ASCII]Hello"));
        QCOMPARE(app->messageTable.sendFlag[0], 1);

        QVERIFY(FromPreview<CTxtDialog>(0, [](CTxtDialog& d) {
            auto* field = test::Get<CAutoRichEditCtrl>(&d, 1063);
            QCOMPARE(field->toPlainText(), QStringLiteral("Hello"));
            field->clear();
            Type(d, QStringLiteral("AB"));
            QTest::keyClick(field, Qt::Key_Return);
            Type(d, QStringLiteral("CD"));
            QCOMPARE(Counter(d), QStringLiteral("4/255"));
            QTest::keyClick(field, Qt::Key_Return, Qt::ControlModifier); // OK from the keyboard
        }));
        QCOMPARE(Content(0), QStringLiteral("[ASCII]ABCD"));
    }

    // A row stored longer than the editor takes (written by another program: 30 000 characters
    // of alternating bold and italic) is not opened but refused at once, naming the row and
    // its size; the row stays as it was.
    void overlongStoredRowIsRefused() {
        OPEN(QStringLiteral("P29"));
        QString rtf = QStringLiteral("{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0\\fs24 ");
        for (int i = 0; i < 15000; ++i)
            rtf += i % 2 ? QStringLiteral("\\i ab\\i0 ") : QStringLiteral("\\b ab\\b0 ");
        rtf += QStringLiteral("\\par}");
        QVERIFY(app->messageTable.WriteContent(2, rtf));
        QString told;
        test::WhenModal<QMessageBox>([&](QMessageBox* box) { told = box->text(); });
        emit window->Preview(2)->doubleClicked();
        QVERIFY2(told.contains(QStringLiteral("Row 2")) && told.contains(QStringLiteral("30000")),
                 qPrintable(told));
        QVERIFY(!QApplication::activeModalWidget());
        QCOMPARE(Content(2), rtf);
    }

    void palettesInsertTokensUpToTheLimit() {
        OPEN(QStringLiteral("P01"));
        QVERIFY(FromMenu<CTxtDialog>(1, TextItem, [](CTxtDialog& d) {
            auto* field = test::Get<CAutoRichEditCtrl>(&d, 1063);
            test::Get<QToolButton>(&d, 20110 + 5)->click();
            test::Get<QToolButton>(&d, 1104)->click();
            test::Get<QToolButton>(&d, 1104 + 65)->click();
            QCOMPARE(field->toPlainText(), QStringLiteral("[GIF_005][GIF_032][GIF_097]"));
            QCOMPARE(d.Editor().Preview().animated, 1);
            field->SetPlainContent(QString(248, u'a'));
            test::Get<QToolButton>(&d, 20110)->click();
            QCOMPARE(field->toPlainText().size(), 248);
            field->SetPlainContent(QString(246, u'a'));
            test::Get<QToolButton>(&d, 20110)->click();
            QCOMPARE(field->toPlainText(), QString(246, u'a') + QStringLiteral("[GIF_000]"));
            QCOMPARE(Counter(d), QStringLiteral("255/255"));
        }));
        QVERIFY(Content(1).isEmpty()); // cancelled
    }

    void palettesByModel() {
        OPEN(QStringLiteral("P04"));
        QVERIFY(FromMenu<CTxtDialog>(0, TextItem, [](CTxtDialog& d) {
            QVERIFY(!d.Control(20110)->isVisibleTo(&d));
            QVERIFY(d.Control(1104)->isVisibleTo(&d));
        }));
        cleanup();
        OPEN(QStringLiteral("P29"));
        QVERIFY(FromMenu<CTxtDialog>(0, TextItem, [](CTxtDialog& d) {
            QVERIFY(d.Control(20110)->isVisibleTo(&d));
            QVERIFY(!d.Control(1104)->isVisibleTo(&d));
            QVERIFY(d.Control(20002)->isVisibleTo(&d));
        }));
    }

    // Colour, size and bold of rich text survive a save and a reopen; the colour list
    // follows the selection.
    void richTextFormatsSurviveAReopen() {
        OPEN(QStringLiteral("P15"));
        QVERIFY(FromMenu<CTxtDialog>(2, TextItem, [](CTxtDialog& d) {
            auto* field = test::Get<CAutoRichEditCtrl>(&d, 1063);
            Type(d, QStringLiteral("AB"));
            field->selectAll();
            auto* colours = test::Get<CSmallIconComboBox>(&d, 20000);
            colours->setCurrentIndex(5);
            emit colours->activated(5);
            auto* sizes = test::Get<QComboBox>(&d, 20001);
            sizes->setCurrentIndex(sizes->findText(QStringLiteral("10")));
            emit sizes->activated(sizes->currentIndex());
            test::Get<QToolButton>(&d, 1060)->click();
            QTest::keyClick(field, Qt::Key_End);
            Type(d, QStringLiteral("C"));
            Ok(d);
        }));
        QVERIFY(Content(2).startsWith(QStringLiteral("{\\rtf")));
        QVERIFY(FromPreview<CTxtDialog>(2, [](CTxtDialog& d) {
            auto* field = test::Get<CAutoRichEditCtrl>(&d, 1063);
            QCOMPARE(field->toPlainText(), QStringLiteral("ABC"));
            QTextCursor cursor = field->textCursor();
            cursor.setPosition(0);
            cursor.setPosition(1, QTextCursor::KeepAnchor);
            field->setTextCursor(cursor);
            QCOMPARE(test::Get<CSmallIconComboBox>(&d, 20000)->currentIndex(), 5);
            QCOMPARE(test::Get<QComboBox>(&d, 20001)->currentText(), QStringLiteral("10"));
            QVERIFY(test::Get<QToolButton>(&d, 1060)->isChecked());
            const CharFormat format = field->SelectionCharFormat();
            QCOMPARE(format.colour, qRgb(0x00, 0x96, 0xFF));
            QCOMPARE(format.sizeTwips, 200);
        }));
    }

    void yOffsetArrowsAndCancelKeepTheOffset() {
        OPEN(QStringLiteral("P29"));
        QVERIFY(FromMenu<CTxtDialog>(3, TextItem, [](CTxtDialog& d) {
            auto* list = test::Get<QComboBox>(&d, 20003);
            QCOMPARE(list->currentText(), QStringLiteral("0"));
            list->setCurrentIndex(0);
            emit list->activated(0);
            test::Get<CUpDownArrows>(&d, 1101)->DownButton()->click();
            QCOMPARE(list->currentText(), QStringLiteral("-6"));
            QCOMPARE(d.Editor().Preview().yOffset, -6);
            QTest::keyClick(&d, Qt::Key_Escape);
            QVERIFY(!d.isVisible());
        }));
        QCOMPARE(app->messageTable.yOffset[3], -6);
        QVERIFY(Content(3).isEmpty());
    }

    void spacesAndLineBreaksGiveAnEmptyRow() {
        OPEN(QStringLiteral("P29"));
        QVERIFY(app->messageTable.WriteContent(4, QStringLiteral("[ASCII]x")));
        app->messageTable.kind[4] = 1;
        QVERIFY(FromPreview<CTxtDialog>(4, [](CTxtDialog& d) {
            test::Get<CAutoRichEditCtrl>(&d, 1063)->clear();
            Type(d, QStringLiteral("  "));
            QTest::keyClick(test::Get<CAutoRichEditCtrl>(&d, 1063), Qt::Key_Return);
            Type(d, QStringLiteral(" "));
            Ok(d);
        }));
        QCOMPARE(app->messageTable.kind[4], 0);
        QVERIFY(Content(4).isEmpty());
    }

    void dateOnSevenRows() {
        OPEN(QStringLiteral("P04"));
        QVERIFY(FromMenu<CDialogDate>(0, DateItem, [](CDialogDate& d) {
            QCOMPARE(d.windowTitle(), QStringLiteral("Date Editor"));
            QVERIFY(d.Control(20003)->isHidden());
            QVERIFY(!d.Control(1101)->isHidden());
            for (int k = 0; k < 6; ++k)
                QVERIFY(!d.Control(20030 + k)->isHidden());
            test::Get<CUpDownArrows>(&d, 1101)->UpButton()->click();
            Type(d, QStringLiteral("Now"));
            Ok(d);
        }));
        QCOMPARE(Content(0), QStringLiteral("[DATE_000011][ASCII]Now"));
        QCOMPARE(app->messageTable.kind[0], 3);
        QCOMPARE(app->messageTable.yOffset[0], -1);
    }

    // A date row kept on a 12-row model opens by double-click, with its flags.
    void dateRowLoadsItsFlagsAndText() {
        OPEN(QStringLiteral("P15"));
        QVERIFY(app->messageTable.WriteContent(5, QStringLiteral("[DATE_111000][ASCII]Today")));
        app->messageTable.kind[5] = 3;
        QVERIFY(FromPreview<CDialogDate>(5, [](CDialogDate& d) {
            QCOMPARE(test::Get<CAutoRichEditCtrl>(&d, 1063)->toPlainText(), QStringLiteral("Today"));
            QVERIFY(test::Get<QCheckBox>(&d, 20030)->isChecked());
            QVERIFY(!test::Get<QCheckBox>(&d, 20034)->isChecked());
            d.Editor().SetClock([] { return QDateTime(QDate(2015, 8, 15), QTime(9, 5)); });
            d.BuildSample();
            QCOMPARE(test::Get<QLineEdit>(&d, 1066)->text(), QStringLiteral("2015-08-15"));
            test::Get<QCheckBox>(&d, 20034)->click();
            QCOMPARE(test::Get<QLineEdit>(&d, 1066)->text(), QStringLiteral("2015-08-1509:05"));
            QVERIFY(d.Editor().Preview().Content().startsWith(QStringLiteral("[DATE_111010]{\\rtf")));
            test::Get<QCheckBox>(&d, 1098)->click();
            QCOMPARE(d.Editor().Preview().arabic, 1);
            Ok(d);
        }));
        QVERIFY(Content(5).startsWith(QStringLiteral("[DATE_111010]{\\rtf")));
        QCOMPARE(app->messageTable.arabic[5], 1);
    }

    // What the editor's preview shows is what the row preview, the sign data and the
    // command line's rendering show, dot for dot.
    void editorPreviewRowPreviewAndExportAgree_data() {
        QTest::addColumn<QString>("model");
        QTest::newRow("16 rows") << QStringLiteral("P29");
        QTest::newRow("12 rows, pages, CJK face") << QStringLiteral("P13");
        QTest::newRow("7 rows") << QStringLiteral("P01");
    }
    void editorPreviewRowPreviewAndExportAgree() {
        QFETCH(QString, model);
        OPEN(model);
        const QSize client(602, 66);
        QImage editorPreview, editorFrame;
        QVERIFY(FromMenu<CTxtDialog>(0, TextItem, [&](CTxtDialog& d) {
            Type(d, QStringLiteral("Ab 12 "));
            test::Get<QToolButton>(&d, 20110 + 3)->click();
            auto* colours = test::Get<CSmallIconComboBox>(&d, 20000);
            colours->setCurrentIndex(3);
            emit colours->activated(3);
            Type(d, QStringLiteral("Xy"));
            editorPreview = d.Editor().Preview().PreviewRaster(client);
            editorFrame = d.Editor().Preview().RenderExportFrame(0);
            Ok(d);
        }));
        QVERIFY(!editorFrame.isNull());
        const bool sevenRows = ModelCatalogue::Find(model)->rows == 7;
        QVERIFY(Content(0).startsWith(sevenRows ? QStringLiteral("[ASCII]") : QStringLiteral("{\\rtf")));
        // The 7-row models that send 12 lines export their 7 rows on top of dark ones.
        const auto signRows = [&](const QImage& frame) {
            return frame.copy(0, 0, frame.width(), editorFrame.height());
        };
        MessageImage& row = window->Preview(0)->Image();
        QCOMPARE(row.PreviewRaster(client), editorPreview);
        QCOMPARE(signRows(row.RenderExportFrame(0)), editorFrame);
        RowImages fromFile(app->glyphLibrary, app->Paths(), app->CodePage());
        const DisplayModel& m = *ModelCatalogue::Find(model);
        fromFile.ApplyModel(m);
        fromFile.LoadPreviews(m, app->messageTable);
        QCOMPARE(signRows(fromFile.Row(0).RenderExportFrame(0)), editorFrame);
    }
};

QTEST_MAIN(TestEditorDialogs)
#include "tst_editordialogs.moc"
