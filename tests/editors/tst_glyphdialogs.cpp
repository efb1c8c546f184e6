#include "app/CVexaApp.h"
#include "app/WorkFiles.h"
#include "app/ui/CVexaDlg.h"
#include "app/ui/IContentEditorLauncher.h"
#include "editors/CDialogFace.h"
#include "editors/CDialogImg.h"
#include "editors/CDialogPicture.h"
#include "editors/CWtxtDialog.h"
#include "render/ui/CEditWnd.h"
#include "render/ui/CFaceWnd.h"
#include "render/ui/CRowCheckLine.h"
#include "support/MainWindowRig.h"
#include "support/WhenModal.h"
#include "support/WidgetFinder.h"

#include <QComboBox>
#include <QFileInfo>
#include <QListWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>

using namespace vexa;

namespace {

constexpr int ContentButton0 = 20070;
constexpr int TextItem = 20091;
constexpr int ImageItem = 20092;
constexpr quint32 Font1Green = (1u << 13) | (1u << 11);

} // namespace

// The bitmap-font text editor, its character picker and the image editor, opened from
// the main window's content menu on the real Data tree.
class TestGlyphDialogs : public QObject, public test::MainWindowRig {
    Q_OBJECT

    void Open(const QString& model) {
        OpenWindow({.model = model, .language = -1, .dataDir = QStringLiteral(VEXA_BIN_DIR "/Data")});
    }

private slots:
    void cleanup() { CloseWindow(); }

    // Text on P06: «A» typed in 7x9 green, Return ignored, three characters picked by
    // keyboard and mouse; OK stores the codes and the row shows what the editor showed.
    void bitmapFontEditorStoresWhatItsPreviewShows() {
        OPEN(QStringLiteral("P06"));
        QList<quint32> codes;
        QImage shown;
        bool pickerStayedOpen = false;
        test::WhenModal<CWtxtDialog>([&](CWtxtDialog* dialog) {
            auto* fonts = test::Get<QComboBox>(dialog, CWtxtDialog::FontList);
            auto* colours = test::Get<QComboBox>(dialog, CWtxtDialog::ColourList);
            auto* field = test::Get<CEditWnd>(dialog, CWtxtDialog::EditField);
            fonts->setCurrentIndex(1);
            emit fonts->activated(1);
            colours->setCurrentIndex(1);
            emit colours->activated(1);
            QTest::keyClicks(field, QStringLiteral("A"));
            QTest::keyClick(field, Qt::Key_Return);
            if (!dialog->isVisible())
                return;
            test::WhenModal<CDialogFace>([&](CDialogFace* picker) {
                auto* grid = test::Get<CFaceWnd>(picker, CDialogFace::Grid);
                QTest::keyClick(grid, Qt::Key_Right); // frames the first picture
                QTest::keyClick(grid, Qt::Key_Space);
                QTest::keyClick(grid, Qt::Key_Right);
                QTest::keyClick(grid, Qt::Key_Space);
                QTest::keyClick(grid, Qt::Key_Return);
                const QPoint second = grid->Grid().CellRect(1, 1, QSizeF(grid->size())).center().toPoint();
                QMouseEvent move(QEvent::MouseMove, second, grid->mapToGlobal(second), Qt::NoButton,
                                 Qt::NoButton, Qt::NoModifier);
                QApplication::sendEvent(grid, &move);
                QTest::mouseClick(grid, Qt::LeftButton, {}, second);
                pickerStayedOpen = picker->isVisible();
                test::Get<QPushButton>(picker, CDialogFace::DoneButton)->click();
            });
            test::Get<QPushButton>(dialog, CWtxtDialog::PickerButton)->click();
            codes = field->Codes();
            shown = dialog->Model().Preview().RenderExportFrame(0);
            test::Get<QPushButton>(dialog, CWtxtDialog::OkButton)->click();
        });
        test::ChooseMenuItem(window.get(), ContentButton0, TextItem);

        QVERIFY(pickerStayedOpen);
        QCOMPARE(codes,
                 (QList<quint32>{65 | Font1Green, 128 | Font1Green, 129 | Font1Green, 139 | Font1Green}));
        QCOMPARE(app->messageTable.ReadContent(0), QStringLiteral("[DASCII]10305,10368,10369,10379,"));
        QCOMPARE(app->messageTable.kind[0], 1);
        QVERIFY(!shown.isNull());
        QCOMPARE(window->Preview(0)->Image().RenderExportFrame(0), shown);
    }

    // A letter the bitmap fonts do not have: the line under the preview names it as it is
    // typed, and the preview draws nothing for it (no glyph of another colour or font).
    void letterWithoutGlyphIsNamedUnderThePreview() {
        OPEN(QStringLiteral("P06"));
        QString line;
        QString lineAfterDelete;
        int width = -1;
        test::WhenModal<CWtxtDialog>([&](CWtxtDialog* dialog) {
            auto* field = test::Get<CEditWnd>(dialog, CWtxtDialog::EditField);
            auto* check = dialog->findChild<CRowCheckLine*>();
            QVERIFY(check);
            QTest::keyClicks(field, QStringLiteral("A"));
            QTest::sendKeyEvent(QTest::Click, field, Qt::Key_Eacute, QStringLiteral("\u00E9"),
                                Qt::NoModifier);
            line = check->Text();
            width = dialog->Model().Preview().contentWidth;
            QTest::keyClick(field, Qt::Key_Backspace);
            lineAfterDelete = check->Text();
            test::Get<QPushButton>(dialog, CWtxtDialog::CancelButton)->click();
        });
        test::ChooseMenuItem(window.get(), ContentButton0, TextItem);
        QCOMPARE(line, QStringLiteral("no glyph for é (U+00E9)"));
        QCOMPARE(width, app->glyphLibrary.GlyphOfCode(65)->width());
        QCOMPARE(lineAfterDelete, QString());
    }

    // Image on P30: two pictures added (a path with ";" refused in between), the second
    // moved up and marked in the list as lower than the sign; OK stores the list in that
    // order and the row shows the editor's preview.
    void imageEditorStoresTheOrderedList() {
        OPEN(QStringLiteral("P30"));
        const QString a = dir->filePath(QStringLiteral("a.png"));
        const QString b = dir->filePath(QStringLiteral("b.png"));
        QImage picture(10, 16, QImage::Format_RGB32);
        picture.fill(Qt::red);
        QVERIFY(picture.save(a));
        QVERIFY(picture.copy(0, 0, 7, 12).save(b));
        QStringList refusals;
        QImage shown;
        test::WhenModal<CDialogImg>([&](CDialogImg* dialog) {
            QStringList chosen{a, dir->filePath(QStringLiteral("x;y.png")), b};
            dialog->chooseFile = [&chosen](QWidget*) { return chosen.takeFirst(); };
            dialog->refuse = [&refusals](QWidget*, const QString& text) { refusals << text; };
            auto* add = test::Get<QPushButton>(dialog, CDialogImg::AddButton);
            for (int i = 0; i < 3; ++i)
                add->click();
            test::Get<QListWidget>(dialog, CDialogImg::PathList)->setCurrentRow(1);
            test::Get<QPushButton>(dialog, CDialogImg::UpButton)->click();
            const auto* list = test::Get<QListWidget>(dialog, CDialogImg::PathList);
            QVERIFY(list->item(0)->toolTip().startsWith(QStringLiteral("not as high as the sign")));
            QVERIFY(list->item(1)->toolTip().isEmpty());
            shown = dialog->Model().Preview().RenderExportFrame(0);
            test::Get<QPushButton>(dialog, CDialogImg::OkButton)->click();
        });
        test::ChooseMenuItem(window.get(), ContentButton0, ImageItem);

        QCOMPARE(refusals, QStringList{ImageEditorModel::SeparatorRefusal});
        QCOMPARE(app->messageTable.ReadContent(0), b + u';' + a + u';');
        QCOMPARE(app->messageTable.kind[0], 2);
        QCOMPARE(shown.width(), 17);
        QCOMPARE(window->Preview(0)->Image().RenderExportFrame(0), shown);
    }

    // "Import picture…" on P06: a photo-sized picture with a light ground is prepared off the
    // window's thread, dithered on request, saved in WorkData/Pictures and listed; the row
    // then shows the prepared picture's dots.
    void importedPictureIsPreparedSavedAndListed() {
        OPEN(QStringLiteral("P06"));
        QTemporaryDir folder;
        const QString original = folder.filePath(QStringLiteral("sign art.jpg"));
        QImage art(2400, 1800, QImage::Format_RGB32);
        art.fill(Qt::white);
        QPainter(&art).fillRect(300, 300, 1800, 1200, Qt::red);
        QVERIFY(art.save(original, "JPG", 95));
        QString saved;
        int lit = 0;
        test::WhenModal<CDialogImg>([&](CDialogImg* editor) {
            editor->choosePicture = [&](QWidget*) { return original; };
            test::WhenModal<CDialogPicture>([&](CDialogPicture* dialog) {
                auto* ok = test::Get<QPushButton>(dialog, CDialogPicture::OkButton);
                QTRY_VERIFY(ok->isEnabled());
                QVERIFY(dialog->Model().Result().inverted);
                test::Get<QComboBox>(dialog, CDialogPicture::DotsBox)->setCurrentIndex(1);
                QVERIFY(!ok->isEnabled());
                QTRY_VERIFY(ok->isEnabled());
                lit = dialog->Model().Result().litDots;
                ok->click();
                saved = dialog->SavedPath();
            });
            test::Get<QPushButton>(editor, CDialogImg::ImportButton)->click();
            QCOMPARE(editor->Model().Entries(), QStringList{saved});
            test::Get<QPushButton>(editor, CDialogImg::OkButton)->click();
        });
        test::ChooseMenuItem(window.get(), ContentButton0, ImageItem);

        QCOMPARE(QFileInfo(saved).absolutePath(), app->Paths().PicturesDir());
        QCOMPARE(QImage(saved).size(), QSize(9, 7));
        QVERIFY(lit > 0);
        QCOMPARE(app->messageTable.ReadContent(0), saved + u';');
        QCOMPARE(window->Preview(0)->Image().contentWidth, 9);
    }
};

QTEST_MAIN(TestGlyphDialogs)
#include "tst_glyphdialogs.moc"
