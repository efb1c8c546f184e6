#pragma once

#include <QImage>
#include <QString>
#include <QWidget>

namespace vexa {

// A framed picture box: a 1-pixel frame AD,20,F0 and, inside it, the picture file of
// imagePath stretched to fill the box (nothing when the path is empty or does not load).
class CPicWnd : public QWidget {
    Q_OBJECT
public:
    static constexpr QRgb FrameColour = 0xFFAD20F0;

    explicit CPicWnd(QWidget* parent = nullptr, int controlId = 0);

    void SetImagePath(const QString& path);
    const QString& ImagePath() const { return imagePath; }

    QSize sizeHint() const override { return {160, 120}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString imagePath;
    QImage picture;
};

} // namespace vexa
