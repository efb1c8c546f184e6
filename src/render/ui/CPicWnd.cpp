#include "render/ui/CPicWnd.h"

#include "render/RasterLimits.h"

#include <QFileInfo>
#include <QImageReader>
#include <QPainter>

namespace vexa {

CPicWnd::CPicWnd(QWidget* parent, int controlId) : QWidget(parent) {
    setProperty("controlId", controlId);
}

void CPicWnd::SetImagePath(const QString& path) {
    imagePath = path;
    picture = QImage();
    if (!path.isEmpty() && QFileInfo(path).isFile()) {
        QImageReader reader(path);
        const QSize size = reader.size();
        // A large photo is read at a size the box can show, never whole.
        if (size.isValid() && !RasterLimits::ImageSizeAllowed(size))
            reader.setScaledSize(size.scaled(1024, 1024, Qt::KeepAspectRatio));
        picture = reader.read();
    }
    update();
}

void CPicWnd::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setPen(QColor::fromRgb(FrameColour));
    painter.drawRect(0, 0, width() - 1, height() - 1);
    if (!picture.isNull())
        painter.drawImage(QRect(1, 1, width() - 2, height() - 2), picture);
}

} // namespace vexa
