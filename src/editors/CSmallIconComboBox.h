#pragma once

#include <QComboBox>

namespace vexa {

// A drop-down list of 16 x 16 colour icons without text.
class CSmallIconComboBox : public QComboBox {
    Q_OBJECT
public:
    explicit CSmallIconComboBox(QWidget* parent = nullptr);

    // Adds an entry showing icon resource n; its index, or -1 when n names no icon.
    int AddIcon(int resourceId);
    int IconId(int index) const;
};

} // namespace vexa
