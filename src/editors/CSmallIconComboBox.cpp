#include "editors/CSmallIconComboBox.h"

#include "render/TextColourList.h"
#include "ui/UiPictures.h"

#include <QAbstractItemView>
#include <QPainter>
#include <QStyleOptionComboBox>
#include <QStylePainter>
#include <QStyledItemDelegate>

namespace vexa {

namespace {

// Draws an entry: the highlight colour when selected, white otherwise, the icon one pixel
// right of and below the entry's top left corner.
class IconEntryDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        const bool selected = option.state & QStyle::State_Selected;
        painter->fillRect(option.rect, selected ? option.palette.highlight() : QBrush(Qt::white));
        const QIcon icon = index.data(Qt::DecorationRole).value<QIcon>();
        if (!icon.isNull()) {
            const QRect target(option.rect.topLeft() + QPoint(1, 1),
                               QSize(CSmallIconComboBox::IconSide, CSmallIconComboBox::IconSide));
            icon.paint(painter, target);
        }
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const override {
        return {std::max(option.rect.width(), CSmallIconComboBox::IconSide + 2),
                CSmallIconComboBox::EntryHeight};
    }
};

} // namespace

CSmallIconComboBox::CSmallIconComboBox(QWidget* parent) : QComboBox(parent) {
    setIconSize(QSize(IconSide, IconSide));
    setItemDelegate(new IconEntryDelegate(this));
    // A selection field of one entry's height inside the frame of the box.
    setFixedHeight(EntryHeight + 4);
}

int CSmallIconComboBox::AddIcon(int iconId) {
    const QIcon icon = UiPictures::Icon(iconId);
    if (icon.isNull())
        return -1;
    addItem(icon, QString());
    const int index = count() - 1;
    setItemData(index, iconId, IconIdRole);
    // Entries have no text: screen readers and tooltips name the colour an icon pictures.
    const QString name = TextColourList::Name(TextColourList::IndexOfIcon(iconId));
    if (!name.isEmpty()) {
        setItemData(index, name, Qt::AccessibleTextRole);
        setItemData(index, name, Qt::ToolTipRole);
    }
    return index;
}

int CSmallIconComboBox::IconId(int index) const {
    if (index < 0 || index >= count())
        return -1;
    return itemData(index, IconIdRole).toInt();
}

QSize CSmallIconComboBox::sizeHint() const {
    QStyleOptionComboBox option;
    initStyleOption(&option);
    const QSize content(IconSide + 4, IconSide);
    return style()->sizeFromContents(QStyle::CT_ComboBox, &option, content, this).expandedTo({0, height()});
}

QSize CSmallIconComboBox::minimumSizeHint() const {
    return sizeHint();
}

// The field shows the chosen icon alone, centred on the field's height.
void CSmallIconComboBox::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    QStyleOptionComboBox option;
    initStyleOption(&option);
    option.currentText.clear();
    option.currentIcon = QIcon();
    painter.drawComplexControl(QStyle::CC_ComboBox, option);
    const QRect field =
        style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, this);
    const QIcon icon = itemIcon(currentIndex());
    if (icon.isNull())
        return;
    const QRect target(QPoint(field.left() + 1, field.top() + (field.height() - IconSide) / 2),
                       QSize(IconSide, IconSide));
    icon.paint(&painter, target, Qt::AlignCenter, isEnabled() ? QIcon::Normal : QIcon::Disabled);
}

} // namespace vexa
