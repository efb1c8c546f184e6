#pragma once

#include <QTreeWidget>

namespace vexa {

// A tree whose items act as check boxes or radio buttons. An item's state is its image
// index in a strip of twelve 16 x 16 pictures (TreeOptionsState); a left click on an item's
// picture or label, or the space key on the selected item, toggles it. Disabled boxes,
// group items and the other pictures never change.
class CTreeOptionsCtrl : public QTreeWidget {
    Q_OBJECT
public:
    explicit CTreeOptionsCtrl(QWidget* parent = nullptr);

    // Sets the item's image (and selected image) to index of the strip.
    void SetItemImage(QTreeWidgetItem* item, int image);
    int ItemImage(const QTreeWidgetItem* item) const;
    bool IsTicked(const QTreeWidgetItem* item) const;
    // What a click or the space key does to item.
    void Toggle(QTreeWidgetItem* item);

    // The picture of one strip index.
    static QIcon StripImage(int image);

signals:
    void itemToggled(QTreeWidgetItem* item);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
};

} // namespace vexa
