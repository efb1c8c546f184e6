// The playback in the real window: a row played in its preview cell (triangle, Space and
// the names screen readers say), the sign view (F6) with the whole programme, the row it
// announces and the sign width, and the Play button of an editor.
#include "app/ui/CSignViewDlg.h"
#include "editors/CTxtDialog.h"
#include "support/MainWindowRig.h"
#include "support/WhenModal.h"
#include "support/WidgetFinder.h"
#include "ui/CImageCheckBox.h"

#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QStandardPaths>
#include <QToolButton>

using namespace vexa;

namespace {

QString Rtf(const QString& text) {
    return QStringLiteral(
               "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fnil Arial;}}{\\colortbl ;\\red255\\green0\\blue0;}"
               "\\pard\\cf1\\f0\\fs24 %1\\par}")
        .arg(text);
}

} // namespace

class TestPlayback : public QObject, public test::MainWindowRig {
    Q_OBJECT

    // Rows 1 and 4 hold text and are sent; the others are not.
    void Open(const QString& model) {
        OpenWindow({.model = model,
                    .dataDir = QStringLiteral(VEXA_BIN_DIR "/Data"),
                    .prepare = [](CVexaApp& context) {
                        CMessageTable table;
                        QVERIFY(table.OpenMessageFile(context.Paths().WorkFilePath(1)));
                        for (int row = 0; row < CMessageTable::RowCount; ++row) {
                            const bool used = row == 1 || row == 4;
                            table.kind[size_t(row)] =
                                used ? CMessageTable::KindText : CMessageTable::KindEmpty;
                            table.sendFlag[size_t(row)] = used ? 1 : 0;
                            if (used)
                                table.WriteContent(row, Rtf(QStringLiteral("Platform %1").arg(row)));
                        }
                        QVERIFY(table.SaveParams());
                    }});
    }

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void cleanup() { CloseWindow(); }

    void rowPlaysInItsCell() {
        OPEN(QStringLiteral("P30"));
        MessageRowControls* row = window->Row(1);
        QCOMPARE(row->playButton->accessibleName(), QStringLiteral("Play row 2"));
        QVERIFY(!window->Row(2)->playButton->isEnabled()); // an empty row has nothing to play
        row->preview->setFocus();
        QTest::keyClick(row->preview, Qt::Key_Space);
        QVERIFY(row->preview->Playing());
        QCOMPARE(row->playButton->accessibleName(), QStringLiteral("Pause row 2"));
        const QImage first = row->preview->grab().toImage();
        QTRY_VERIFY_WITH_TIMEOUT(row->preview->grab().toImage() != first, 3000); // it moves
        QTest::mouseClick(row->playButton, Qt::LeftButton);
        QVERIFY(!row->preview->Playing());
    }

    void signViewPlaysTheProgramme() {
        OPEN(QStringLiteral("P01"));
        QTest::keyClick(window.get(), Qt::Key_F6);
        CSignViewDlg* view = window->SignView();
        QVERIFY(view && view->isVisible());
        QCOMPARE(view->windowTitle(), QStringLiteral("Sign view"));
        const SharedProgramme programme = view->Model().Programme();
        QVERIFY(programme && !programme->IsEmpty());
        QCOMPARE(programme->Steps().front().row, 1);
        QCOMPARE(programme->Steps().back().row, 4);
        QCOMPARE(view->RowLabel()->accessibleName(), view->RowLabel()->text());
        QVERIFY(view->RowLabel()->text().startsWith(QStringLiteral("Row 2, page 1 of")));

        // A P01 has no page width of its own: the width is the operator's, kept in System.set.
        QVERIFY(view->WidthBox()->isEnabled());
        view->WidthBox()->setValue(40);
        QCOMPARE(app->settingsFile.SignWidth(), 40);
        QCOMPARE(view->Model().Programme()->Sign().columns, 40);
        QCOMPARE(app->rowImages.Row(1).markPitch, 40); // the still previews mark its pages

        // A row no longer sent leaves the programme at once.
        window->Row(4)->sendBox->click();
        QCOMPARE(view->Model().Programme()->Steps().back().row, 1);
        QTest::mouseClick(view->PlayButton(), Qt::LeftButton);
        QVERIFY(!view->Model().IsPlaying());
        QCOMPARE(view->PlayButton()->accessibleName(), QStringLiteral("Play"));
    }

    void editorPlaysTheRowAsEdited() {
        OPEN(QStringLiteral("P30"));
        bool seen = false;
        test::WhenModal<CTxtDialog>([&](CTxtDialog* dialog) {
            seen = true;
            auto* play = dialog->findChild<QPushButton*>(QString(), Qt::FindChildrenRecursively);
            for (QPushButton* button : dialog->findChildren<QPushButton*>())
                if (button->accessibleName() == QLatin1String("Play"))
                    play = button;
            QCOMPARE(play->accessibleName(), QStringLiteral("Play"));
            QVERIFY(!dialog->PreviewWindow()->Playing()); // off when the editor opens
            play->setFocus();
            QTest::keyClick(play, Qt::Key_Space);
            QVERIFY(dialog->PreviewWindow()->Playing());
            QCOMPARE(play->accessibleName(), QStringLiteral("Pause"));
            dialog->reject();
        });
        emit window->Preview(1)->doubleClicked();
        QVERIFY(seen);
    }
};

QTEST_MAIN(TestPlayback)
#include "tst_playback.moc"
