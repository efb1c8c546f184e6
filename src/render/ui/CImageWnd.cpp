#include "render/ui/CImageWnd.h"

#include <QMouseEvent>
#include <QPainter>
#include <cmath>

namespace vexa {

CImageWnd::CImageWnd(QWidget* parent, int controlId) : QWidget(parent), dateTimer(this) {
    SetControlId(controlId);
    setAttribute(Qt::WA_OpaquePaintEvent);
    dateTimer.setInterval(1000);
    connect(&dateTimer, &QTimer::timeout, this, [this] {
        if (image)
            image->DropCache();
        update();
    });
}

void CImageWnd::SetImage(MessageImage* shown) {
    image = shown;
    FollowKind();
    update();
}

void CImageWnd::FollowKind() {
    if (image && image->Kind() == ContentKind::Date)
        dateTimer.start();
    else
        dateTimer.stop();
}

void CImageWnd::SetControlId(int id) {
    setProperty("controlId", id);
}

void CImageWnd::SetContent(const QString& content) {
    if (!image)
        return;
    image->SetContent(content);
    FollowKind();
    repaint();
}

void CImageWnd::SetPageAlign(bool align) {
    if (!image)
        return;
    image->SetPageAlign(align);
    update();
}

void CImageWnd::Refresh() {
    if (image)
        image->DropCache();
    FollowKind();
    update();
}

void CImageWnd::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (!image) {
        painter.fillRect(rect(), palette().window());
        return;
    }
    const qreal ratio = devicePixelRatioF();
    const QSize client(static_cast<int>(std::lround(width() * ratio)),
                       static_cast<int>(std::lround(height() * ratio)));
    QImage preview = image->PreviewRaster(client);
    preview.setDevicePixelRatio(ratio);
    painter.drawImage(QPoint(0, 0), preview);
}

void CImageWnd::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        emit doubleClicked();
    QWidget::mouseDoubleClickEvent(event);
}

} // namespace vexa
