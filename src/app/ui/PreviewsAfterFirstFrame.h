#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <functional>

class QWidget;

namespace vexa {

// Lets a window's first frame show its row previews empty (dark with their border, as an
// empty row draws) and renders them at the next turn of the event loop, so the window
// appears without waiting for the rows' text to be laid out. Only the first paint of each
// preview in that first frame is taken over; the object then removes itself. Other work
// that need not delay the first frame (then) runs at the same turn, before the previews
// are painted, or after FirstFrameWaitMs when no preview is painted by then (a window
// started minimised).
class PreviewsAfterFirstFrame : public QObject {
public:
    static constexpr int FirstFrameWaitMs = 2000;

    PreviewsAfterFirstFrame(const QList<QWidget*>& previews, std::function<void()> then, QObject* parent);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void PaintAll();

    QList<QPointer<QWidget>> previews;
    std::function<void()> then;
    bool scheduled = false;
};

} // namespace vexa
