#include "link/ui/CTreeOptionsCtrl.h"

#include "link/TreeOptionsState.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QStyledItemDelegate>

namespace vexa {

namespace {

constexpr int ImageRole = Qt::UserRole + 8;
constexpr int StripSide = 16;

void DrawCheck(QPainter& p, bool ticked, bool enabled) {
    p.setPen(QPen(enabled ? QColor(40, 70, 110) : QColor(150, 150, 150), 1));
    p.setBrush(enabled ? Qt::white : QColor(230, 230, 230));
    p.drawRect(QRectF(2.5, 2.5, 11, 11));
    if (!ticked)
        return;
    p.setPen(QPen(enabled ? QColor(20, 120, 40) : QColor(140, 140, 140), 2));
    p.drawPolyline(QPolygonF({QPointF(4.5, 8), QPointF(7, 10.5), QPointF(11.5, 5)}));
}

void DrawRadio(QPainter& p, bool on, bool enabled) {
    p.setPen(QPen(enabled ? QColor(40, 70, 110) : QColor(150, 150, 150), 1));
    p.setBrush(enabled ? Qt::white : QColor(230, 230, 230));
    p.drawEllipse(QRectF(2.5, 2.5, 11, 11));
    if (!on)
        return;
    p.setPen(Qt::NoPen);
    p.setBrush(enabled ? QColor(20, 90, 160) : QColor(140, 140, 140));
    p.drawEllipse(QRectF(5.5, 5.5, 5, 5));
}

void DrawOther(QPainter& p, int image) {
    p.setPen(QPen(QColor(40, 70, 110), 1));
    switch (image) {
    case TreeOptionsState::Group:
        p.setBrush(QColor(240, 200, 90));
        p.drawRect(QRectF(1.5, 4.5, 13, 9));
        p.drawRect(QRectF(1.5, 2.5, 5, 2));
        return;
    case TreeOptionsState::Magnifier:
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QRectF(2.5, 2.5, 8, 8));
        p.setPen(QPen(QColor(40, 70, 110), 2));
        p.drawLine(QPointF(9.5, 9.5), QPointF(14, 14));
        return;
    case TreeOptionsState::EditItem:
        p.setBrush(Qt::white);
        p.drawRect(QRectF(1.5, 4.5, 13, 7));
        p.drawLine(QPointF(4.5, 6), QPointF(4.5, 10));
        return;
    case TreeOptionsState::ComboItem:
        p.setBrush(Qt::white);
        p.drawRect(QRectF(1.5, 4.5, 13, 7));
        p.setBrush(QColor(40, 70, 110));
        p.drawPolygon(QPolygonF({QPointF(9, 7), QPointF(13, 7), QPointF(11, 9.5)}));
        return;
    default:
        return;
    }
}

// The picture of the strip is the box: the style draws no check indicator of its own,
// and clicks and keys toggle through the control, never through the item's check state.
class PictureOnlyDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        option->features &= ~QStyleOptionViewItem::HasCheckIndicator;
    }
    bool editorEvent(QEvent*, QAbstractItemModel*, const QStyleOptionViewItem&, const QModelIndex&) override {
        return false;
    }
};

} // namespace

QIcon CTreeOptionsCtrl::StripImage(int image) {
    QPixmap pixmap(StripSide, StripSide);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    using S = TreeOptionsState;
    switch (image) {
    case S::CheckOff:
    case S::CheckOn:
    case S::CheckOffDisabled:
    case S::CheckOnDisabled:
        DrawCheck(p, S::IsTicked(image), image < S::CheckOffDisabled);
        break;
    case S::RadioOff:
    case S::RadioOn:
    case S::RadioOffDisabled:
    case S::RadioOnDisabled:
        DrawRadio(p, image == S::RadioOn || image == S::RadioOnDisabled, image < S::RadioOffDisabled);
        break;
    default:
        DrawOther(p, image);
        break;
    }
    return QIcon(pixmap);
}

CTreeOptionsCtrl::CTreeOptionsCtrl(QWidget* parent) : QTreeWidget(parent) {
    setHeaderHidden(true);
    setColumnCount(1);
    setIconSize(QSize(StripSide, StripSide));
    setSelectionMode(QAbstractItemView::SingleSelection);
    setItemDelegate(new PictureOnlyDelegate(this));
}

void CTreeOptionsCtrl::SetItemImage(QTreeWidgetItem* item, int image) {
    if (!item || image < 0 || image >= TreeOptionsState::ImageCount)
        return;
    item->setData(0, ImageRole, image);
    item->setIcon(0, StripImage(image));
    // Screen readers hear the state the picture shows, as a check box's checked state.
    if (TreeOptionsState::IsCheck(image)) {
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setData(0, Qt::CheckStateRole, TreeOptionsState::IsTicked(image) ? Qt::Checked : Qt::Unchecked);
    } else {
        item->setFlags(item->flags() & ~Qt::ItemIsUserCheckable);
        item->setData(0, Qt::CheckStateRole, QVariant());
    }
}

int CTreeOptionsCtrl::ItemImage(const QTreeWidgetItem* item) const {
    return item ? item->data(0, ImageRole).toInt() : -1;
}

bool CTreeOptionsCtrl::IsTicked(const QTreeWidgetItem* item) const {
    return item && TreeOptionsState::IsTicked(ItemImage(item));
}

void CTreeOptionsCtrl::Toggle(QTreeWidgetItem* item) {
    if (!item)
        return;
    const int image = ItemImage(item);
    if (TreeOptionsState::IsEnabledCheck(image)) {
        SetItemImage(item, TreeOptionsState::ToggledCheck(image));
        emit itemToggled(item);
        return;
    }
    if (image != TreeOptionsState::RadioOff || !item->parent())
        return;
    QTreeWidgetItem* parentItem = item->parent();
    QList<int> siblings;
    for (int i = 0; i < parentItem->childCount(); ++i)
        siblings << ItemImage(parentItem->child(i));
    const QList<int> switched = TreeOptionsState::SwitchedRadio(siblings, parentItem->indexOfChild(item));
    setUpdatesEnabled(false);
    for (int i = 0; i < parentItem->childCount(); ++i)
        SetItemImage(parentItem->child(i), switched[i]);
    setUpdatesEnabled(true);
    emit itemToggled(item);
}

void CTreeOptionsCtrl::mousePressEvent(QMouseEvent* event) {
    QTreeWidgetItem* item = event->button() == Qt::LeftButton ? itemAt(event->position().toPoint()) : nullptr;
    QTreeWidget::mousePressEvent(event);
    // The row's rectangle holds the picture and the label; the expand arrow lies left of it.
    if (item && visualItemRect(item).contains(event->position().toPoint()))
        Toggle(item);
}

void CTreeOptionsCtrl::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Space && event->modifiers() == Qt::NoModifier) {
        Toggle(currentItem());
        event->accept();
        return;
    }
    QTreeWidget::keyPressEvent(event);
}

} // namespace vexa
