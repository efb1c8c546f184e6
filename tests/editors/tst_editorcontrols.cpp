#include "editors/CAutoRichEditCtrl.h"
#include "editors/CSmallIconComboBox.h"
#include "render/TextColourList.h"
#include "render/TextRasteriser.h"
#include "ui/UiPictures.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QInputMethodEvent>
#include <QMenu>
#include <QMimeData>
#include <QSignalSpy>
#include <QTest>

using namespace vexa;

// The editors' own controls.
class TestEditorControls : public QObject {
    Q_OBJECT

    static QAction* Command(QMenu* menu, int command) {
        for (QAction* action : menu->actions()) {
            if (action->data().toInt() == command)
                return action;
        }
        return nullptr;
    }

private slots:
    void iconBoxTakesKnownIconsOnly() {
        CSmallIconComboBox box;
        QCOMPARE(box.AddIcon(186), -1);
        QCOMPARE(box.AddIcon(0), -1);
        QCOMPARE(box.count(), 0);
        for (int i = 0; i < TextColourList::Count; ++i)
            QCOMPARE(box.AddIcon(UiPictures::ColourIconResource(i)), i);
        QCOMPARE(box.count(), TextColourList::Count);
        QCOMPARE(box.IconId(3), 157);
        QCOMPARE(box.IconId(9), -1);
        QVERIFY(box.itemText(3).isEmpty());
        QCOMPARE(box.itemData(3, Qt::AccessibleTextRole).toString(),
                 QStringLiteral("Green, yellow and red bands"));
        const QModelIndex entry = box.model()->index(0, 0);
        QStyleOptionViewItem option;
        option.rect = QRect(0, 0, 40, 40);
        QCOMPARE(box.view()->itemDelegate()->sizeHint(option, entry).height(),
                 CSmallIconComboBox::EntryHeight);
    }

    // Each colour icon shows, top to bottom, the bands the sign makes of its colour.
    void colourIconsPictureTheSignsBands() {
        for (int i = 0; i < TextColourList::Count; ++i) {
            const QImage icon = UiPictures::ColourIcon(i).pixmap(QSize(16, 16), 1.0).toImage();
            const auto bands = TextRasteriser::ColourBands(TextColourList::At(i).colour);
            QCOMPARE(icon.pixel(8, 3) | 0xFF000000u, bands[0]);
            QCOMPARE(icon.pixel(8, 8) | 0xFF000000u, bands[1]);
            QCOMPARE(icon.pixel(8, 12) | 0xFF000000u, bands[2]);
        }
    }

    void asciiOnlyRemovesWideCharactersAndKeepsTheCaret() {
        CAutoRichEditCtrl field;
        field.SetAsciiOnly(true);
        QSignalSpy changes(&field, &CAutoRichEditCtrl::contentChanged);
        QTest::keyClicks(&field, QStringLiteral("ab"));
        QTest::sendKeyEvent(QTest::Click, &field, Qt::Key_Eacute, QStringLiteral("\u00E9"), Qt::NoModifier);
        QCOMPARE(field.toPlainText(), QStringLiteral("ab"));
        QCOMPARE(field.textCursor().position(), 2);
        QCOMPARE(changes.count(), 3);
        auto* pasted = new QMimeData;
        pasted->setText(QStringLiteral("a\u00F1b\t\u007F"));
        pasted->setHtml(QStringLiteral("<b>bold</b>"));
        QApplication::clipboard()->setMimeData(pasted);
        QTest::keyClick(&field, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(field.toPlainText(), QStringLiteral("abab\t"));
        QVERIFY(!field.SelectionCharFormat().bold); // pasted as plain text
    }

    void limitCutsTheInsertionButNeverAToken() {
        CAutoRichEditCtrl field;
        field.SetTextLimit(255);
        field.SetPlainContent(QString(250, u'a'));
        QTest::keyClicks(&field, QStringLiteral("bcdefgh"));
        QCOMPARE(field.toPlainText(), QString(250, u'a') + QStringLiteral("bcdef"));
        field.SetPlainContent(QString(247, u'a'));
        field.ReplaceSelection(QStringLiteral("[GIF_005]"));
        QCOMPARE(field.toPlainText(), QString(247, u'a'));
        field.ReplaceSelection(QStringLiteral("xy[GIF_005]"));
        QCOMPARE(field.toPlainText(), QString(247, u'a') + QStringLiteral("xy"));
    }

    // No change is reported while an input method composes; the committed text is.
    void compositionIsReportedWhenItEnds() {
        CAutoRichEditCtrl field;
        QSignalSpy changes(&field, &CAutoRichEditCtrl::contentChanged);
        QInputMethodEvent start(QStringLiteral("\u1100"), {});
        QApplication::sendEvent(&field, &start);
        QInputMethodEvent next(QStringLiteral("\uAC00"), {});
        QApplication::sendEvent(&field, &next);
        QCOMPARE(changes.count(), 0);
        QInputMethodEvent commit;
        commit.setCommitString(QStringLiteral("\uAC00"));
        QApplication::sendEvent(&field, &commit);
        QCOMPARE(field.toPlainText(), QStringLiteral("\uAC00"));
        QCOMPARE(changes.count(), 1);
    }

    void contextMenuEnabling() {
        CAutoRichEditCtrl field;
        QApplication::clipboard()->setText(QStringLiteral("x"));
        std::unique_ptr<QMenu> menu(field.CreateContextMenu(nullptr));
        QVERIFY(!Command(menu.get(), CAutoRichEditCtrl::CutCommand)->isEnabled());
        QVERIFY(!Command(menu.get(), CAutoRichEditCtrl::CopyCommand)->isEnabled());
        QVERIFY(!Command(menu.get(), CAutoRichEditCtrl::ClearCommand)->isEnabled());
        QVERIFY(Command(menu.get(), CAutoRichEditCtrl::PasteCommand)->isEnabled());
        field.SetPlainContent(QStringLiteral("abc"));
        menu.reset(field.CreateContextMenu(nullptr));
        QVERIFY(!Command(menu.get(), CAutoRichEditCtrl::CopyCommand)->isEnabled());
        QVERIFY(Command(menu.get(), CAutoRichEditCtrl::ClearCommand)->isEnabled());
        field.selectAll();
        menu.reset(field.CreateContextMenu(nullptr));
        QVERIFY(Command(menu.get(), CAutoRichEditCtrl::CutCommand)->isEnabled());
        Command(menu.get(), CAutoRichEditCtrl::ClearCommand)->trigger();
        QVERIFY(field.toPlainText().isEmpty());
    }

    void rtfTravelsWithItsFormats() {
        CAutoRichEditCtrl field;
        QVERIFY(field.GetRTF().startsWith(QStringLiteral("{\\rtf")));
        QVERIFY(field.GetRTF().trimmed().endsWith(u'}'));
        CharFormat format;
        format.face = QStringLiteral("Arial");
        format.sizeTwips = 320;
        format.colour = qRgb(0xA0, 0xE9, 0x00);
        format.underline = true;
        field.SetDefaultCharFormat(format);
        QTest::keyClicks(&field, QStringLiteral("Hi"));
        CAutoRichEditCtrl copy;
        copy.SetRTF(field.GetRTF());
        QCOMPARE(copy.toPlainText(), QStringLiteral("Hi"));
        copy.selectAll();
        QCOMPARE(copy.SelectionCharFormat(), format);
    }
};

QTEST_MAIN(TestEditorControls)
#include "tst_editorcontrols.moc"
