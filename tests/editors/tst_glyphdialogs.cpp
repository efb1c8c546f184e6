#include "app/CVexaApp.h"
#include "app/WorkFiles.h"
#include "app/ui/CVexaDlg.h"
#include "app/ui/IContentEditorLauncher.h"
#include "editors/CDialogFace.h"
#include "editors/CDialogImg.h"
#include "editors/CWtxtDialog.h"
#include "render/ui/CEditWnd.h"
#include "render/ui/CFaceWnd.h"
#include "support/MainWindowRig.h"
#include "support/WhenModal.h"
#include "support/WidgetFinder.h"

#include <QComboBox>
#include <QListWidget>
#include <QMouseEvent>
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
                test::Get<QPushButton>(picker, CDialogFace::CancelButton)->click();
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

    // Image on P30: two pictures added (a path with ";" refused in between), the second
    // moved up; OK stores the list in that order and the row shows the editor's preview.
    void imageEditorStoresTheOrderedList() {
        OPEN(QStringLiteral("P30"));
        const QString a = dir->filePath(QStringLiteral("a.png"));
        const QString b = dir->filePath(QStringLiteral("b.png"));
        QImage picture(10, 16, QImage::Format_RGB32);
        picture.fill(Qt::red);
        QVERIFY(picture.save(a));
        QVERIFY(picture.copy(0, 0, 7, 16).save(b));
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
};

QTEST_MAIN(TestGlyphDialogs)
#include "tst_glyphdialogs.moc"
