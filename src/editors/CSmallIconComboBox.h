#pragma once

#include <QComboBox>

namespace vexa {

// A drop-down list of 16 x 16 icons without text, 18 pixels per entry: the colour box of
// the text, date and bitmap-font text editors. Each entry keeps the number of its icon.
class CSmallIconComboBox : public QComboBox {
    Q_OBJECT
public:
    static constexpr int EntryHeight = 18;
    static constexpr int IconSide = 16;
    static constexpr int IconIdRole = Qt::UserRole + 1;

    explicit CSmallIconComboBox(QWidget* parent = nullptr);

    // Adds an entry showing icon iconId (a UiPictures number); returns its index, or -1
    // and adds nothing when there is no such icon.
    int AddIcon(int iconId);
    // The icon number of an entry, -1 for an index that is no entry.
    int IconId(int index) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace vexa
