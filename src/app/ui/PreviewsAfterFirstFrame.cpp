#include "app/ui/PreviewsAfterFirstFrame.h"

#include "render/MessageImage.h"
#include "render/TextRasteriser.h"

#include <QEvent>
#include <QPainter>
#include <QTimer>
#include <QWidget>

namespace vexa {

PreviewsAfterFirstFrame::PreviewsAfterFirstFrame(const QList<QWidget*>& shown,
                                                 std::function<void()> afterwards, QObject* parent)
    : QObject(parent), then(std::move(afterwards)) {
    for (QWidget* preview : shown) {
        previews.append(preview);
        preview->installEventFilter(this);
    }
    QTimer::singleShot(FirstFrameWaitMs, this, [this] {
        if (!scheduled) {
            scheduled = true;
            PaintAll();
        }
    });
}

bool PreviewsAfterFirstFrame::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::Paint)
        return false;
    auto* preview = static_cast<QWidget*>(watched);
    QPainter painter(preview);
    painter.fillRect(preview->rect(), QColor::fromRgb(TextRasteriser::Dark));
    painter.setPen(QColor::fromRgb(MessageImage::BorderColour));
    painter.drawRect(preview->rect().adjusted(0, 0, -1, -1));
    if (!scheduled) {
        scheduled = true;
        QTimer::singleShot(0, this, &PreviewsAfterFirstFrame::PaintAll);
    }
    return true;
}

void PreviewsAfterFirstFrame::PaintAll() {
    if (then)
        then();
    for (const QPointer<QWidget>& preview : std::as_const(previews)) {
        if (!preview)
            continue;
        preview->removeEventFilter(this);
        preview->update();
    }
    deleteLater();
}

} // namespace vexa
