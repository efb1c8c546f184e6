#include "render/ui/CPicWnd.h"

#include "render/ImageFileReader.h"
#include "render/RasterLimits.h"

#include <QFileInfo>
#include <QPainter>

namespace vexa {

CPicWnd::CPicWnd(QWidget* parent, int controlId) : QWidget(parent) {
    setProperty("controlId", controlId);
}

void CPicWnd::SetImagePath(const QString& path) {
    imagePath = path;
    picture = QImage();
    ImageFileReader file(path);
    if (file.IsOpen()) {
        const QSize size = file.Size();
        // A large photo is read at a size the box can show, never whole.
        if (size.isValid() && !RasterLimits::ImageSizeAllowed(size))
            file.Reader().setScaledSize(size.scaled(1024, 1024, Qt::KeepAspectRatio));
        picture = file.Reader().read();
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
