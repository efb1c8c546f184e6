#include "editors/CSmallIconComboBox.h"
#include "render/TextColourList.h"
#include "render/TextRasteriser.h"
#include "ui/UiPictures.h"

#include <QAbstractItemView>
#include <QImage>
#include <QTest>

using namespace vexa;

// The editors' own controls.
class TestEditorControls : public QObject {
    Q_OBJECT

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
};

QTEST_MAIN(TestEditorControls)
#include "tst_editorcontrols.moc"
