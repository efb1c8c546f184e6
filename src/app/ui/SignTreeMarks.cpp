#include "app/ui/SignTreeMarks.h"

#include <QIcon>
#include <QPainter>
#include <QPixmap>
#include <QTreeWidgetItem>

namespace vexa {

namespace {

QIcon MarkIcon(ScanMarks::Mark mark) {
    constexpr int side = 16;
    QPixmap pixmap(side, side);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    if (mark == ScanMarks::Mark::Answered) {
        p.setPen(QPen(QColor(20, 110, 40), 1));
        p.setBrush(QColor(40, 180, 70));
    } else {
        p.setPen(QPen(QColor(140, 140, 140), 1.5));
        p.setBrush(Qt::NoBrush);
    }
    p.drawEllipse(QRectF(3.5, 3.5, 9, 9));
    return QIcon(pixmap);
}

} // namespace

void SignTreeMarks::Show(QTreeWidgetItem* item, ScanMarks::Mark mark, const LanguageTexts* texts) {
    if (!item)
        return;
    if (mark == ScanMarks::Mark::None) {
        item->setIcon(0, QIcon());
        item->setToolTip(0, QString());
        item->setData(0, Qt::AccessibleDescriptionRole, QString());
        return;
    }
    const QString text = ScanMarks::MarkText(mark, texts);
    item->setIcon(0, MarkIcon(mark));
    item->setToolTip(0, text);
    item->setData(0, Qt::AccessibleDescriptionRole, text);
}

} // namespace vexa
