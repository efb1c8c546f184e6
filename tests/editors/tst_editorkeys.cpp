#include "app/CVexaApp.h"
#include "app/ui/CVexaDlg.h"
#include "editors/CAutoRichEditCtrl.h"
#include "editors/CDialogFace.h"
#include "editors/CTxtDialog.h"
#include "editors/CWtxtDialog.h"
#include "render/ui/CEditWnd.h"
#include "render/ui/CFaceWnd.h"
#include "support/MainWindowRig.h"
#include "support/WhenModal.h"
#include "support/WidgetFinder.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

using namespace vexa;

namespace {

constexpr int ContentButton0 = 20070;
constexpr int TextItem = 20091;

QString Name(QObject* object) {
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(object);
    return accessible ? accessible->text(QAccessible::Name) : QString();
}

// The characters a screen reader reads from the glyph field.
QString SpokenText(CEditWnd* field) {
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(field);
    QAccessibleTextInterface* text = accessible ? accessible->textInterface() : nullptr;
    return text ? text->text(0, text->characterCount()) : QStringLiteral("<no text interface>");
}

} // namespace

// The editors by keyboard and screen reader, opened from the main window on the real Data
// tree: undo, Escape, the picker's Done and Cancel, palettes as one tab stop, names.
class TestEditorKeys : public QObject, public test::MainWindowRig {
    Q_OBJECT

    void Open(const QString& model) {
        OpenWindow({.model = model, .dataDir = QStringLiteral(VEXA_BIN_DIR "/Data")});
    }

    static QWidget* Focused() { return QApplication::focusWidget(); }

private slots:
    void cleanup() { CloseWindow(); }

    // Typing, paste and deletion are undone and redone; the field reads as characters;
    // Escape cancels and the row keeps its content.
    void bitmapFontFieldUndoesAndEscapeCancels() {
        OPEN(QStringLiteral("P06"));
        app->messageTable.WriteContent(0, QStringLiteral("[DASCII]65,"));
        QStringList steps;
        bool closedByEscape = false;
        test::WhenModal<CWtxtDialog>([&](CWtxtDialog* dialog) {
            auto* field = test::Get<CEditWnd>(dialog, CWtxtDialog::EditField);
            QTest::keyClick(field, Qt::Key_End);
            QTest::keyClicks(field, QStringLiteral("BC"));
            steps << SpokenText(field);
            QTest::keyClick(field, Qt::Key_Z, Qt::ControlModifier);
            steps << SpokenText(field);
            QTest::keyClick(field, Qt::Key_Y, Qt::ControlModifier);
            steps << SpokenText(field);
            QTest::keyClick(field, Qt::Key_Backspace);
            QApplication::clipboard()->setText(QStringLiteral("xy"));
            QTest::keyClick(field, Qt::Key_V, Qt::ControlModifier);
            steps << SpokenText(field);
            QTest::keyClick(field, Qt::Key_Z, Qt::ControlModifier);
            QTest::keyClick(field, Qt::Key_Z, Qt::ControlModifier);
            steps << SpokenText(field);
            field->InsertCode(GlyphTextEditorModel::PaletteCharacter(0)); // the palette's first letter
            steps << SpokenText(field);
            QTest::keyClick(field, Qt::Key_Escape);
            closedByEscape = !dialog->isVisible() && dialog->result() == QDialog::Rejected;
        });
        test::ChooseMenuItem(window.get(), ContentButton0, TextItem);
        QCOMPARE(steps,
                 QStringList({QStringLiteral("ABC"), QStringLiteral("AB"), QStringLiteral("ABC"),
                              QStringLiteral("ABxy"), QStringLiteral("ABC"), QStringLiteral("ABC\u00E0")}));
        QVERIFY(closedByEscape);
        QCOMPARE(app->messageTable.ReadContent(0), QStringLiteral("[DASCII]65,"));
    }

    // The picker has a title and a Done button; Cancel takes its picks back; its cells
    // are items named by their characters; the palette is one tab stop.
    void pickerDoneCancelAndPaletteKeys() {
        OPEN(QStringLiteral("P06"));
        QString title, cell;
        int cells = 0;
        QStringList afterPicker;
        QList<int> walk;
        test::WhenModal<CWtxtDialog>([&](CWtxtDialog* dialog) {
            auto* field = test::Get<CEditWnd>(dialog, CWtxtDialog::EditField);
            const auto pickTwo = [&](int button) {
                test::WhenModal<CDialogFace>([&, button](CDialogFace* picker) {
                    title = picker->windowTitle();
                    auto* grid = test::Get<CFaceWnd>(picker, CDialogFace::Grid);
                    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(grid);
                    cells = accessible->childCount();
                    cell = accessible->child(1)->text(QAccessible::Name);
                    for (int i = 0; i < 2; ++i) {
                        QTest::keyClick(grid, Qt::Key_Right);
                        QTest::keyClick(grid, Qt::Key_Space);
                    }
                    test::Get<QPushButton>(picker, button)->click();
                });
                test::Get<QPushButton>(dialog, CWtxtDialog::PickerButton)->click();
                afterPicker << SpokenText(field);
            };
            pickTwo(CDialogFace::CancelButton);
            pickTwo(CDialogFace::DoneButton);

            dialog->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(dialog));
            auto* picker = test::Get<QPushButton>(dialog, CWtxtDialog::PickerButton);
            picker->setFocus(Qt::TabFocusReason);
            for (int i = 0; i < 2; ++i) {
                QTest::keyClick(Focused(), Qt::Key_Tab);
                walk << Focused()->property("controlId").toInt();
            }
            QTest::keyClick(Focused(), Qt::Key_Backtab);
            QTest::keyClick(Focused(), Qt::Key_Right);
            walk << Focused()->property("controlId").toInt();
        });
        test::ChooseMenuItem(window.get(), ContentButton0, TextItem);
        QVERIFY(!title.isEmpty());
        QVERIFY(cells > 60);
        QCOMPARE(cell, QStringLiteral("\u00E1")); // the second picture: glyph 129
        QCOMPARE(afterPicker, QStringList({QString(), QStringLiteral("\u00E0\u00E1")}));
        QCOMPARE(walk, QList<int>({CWtxtDialog::FirstPaletteButton, CWtxtDialog::OkButton,
                                   CWtxtDialog::FirstPaletteButton + 1}));
    }

    // The text editor's faces are named by what they show and are one tab stop; the
    // counter says what it counts.
    void textEditorNamesFacesAndCounter() {
        OPEN(QStringLiteral("P30"));
        QString face, counter;
        QList<int> walk;
        test::WhenModal<CTxtDialog>([&](CTxtDialog* dialog) {
            face = Name(test::Get<QToolButton>(dialog, CTxtDialog::FirstFaceId));
            QTest::keyClicks(dialog->TextControl(), QStringLiteral("Hello"));
            counter = Name(test::Get<QLabel>(dialog, CTxtDialog::CounterId));
            dialog->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(dialog));
            test::Get<QWidget>(dialog, CContentEditorDialog::ArabicBox)->setFocus(Qt::TabFocusReason);
            for (int i = 0; i < 2; ++i) {
                QTest::keyClick(Focused(), Qt::Key_Tab);
                walk << Focused()->property("controlId").toInt();
            }
        });
        test::ChooseMenuItem(window.get(), ContentButton0, TextItem);
        QCOMPARE(face, QStringLiteral("smiling face"));
        QCOMPARE(counter, QStringLiteral("Characters: 5 of 255"));
        QCOMPARE(walk, QList<int>({CTxtDialog::FirstFaceId, CContentEditorDialog::OkButton}));
    }
};

QTEST_MAIN(TestEditorKeys)
#include "tst_editorkeys.moc"
