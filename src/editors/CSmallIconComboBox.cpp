#include "editors/CSmallIconComboBox.h"

#include "ui/UiPictures.h"

namespace vexa {

CSmallIconComboBox::CSmallIconComboBox(QWidget* parent) : QComboBox(parent) {
    setIconSize(QSize(16, 16));
}

int CSmallIconComboBox::AddIcon(int resourceId) {
    if (!UiPictures::Exists(resourceId))
        return -1;
    addItem(UiPictures::Icon(resourceId), QString(), resourceId);
    return count() - 1;
}

int CSmallIconComboBox::IconId(int index) const {
    return itemData(index).toInt();
}

} // namespace vexa
