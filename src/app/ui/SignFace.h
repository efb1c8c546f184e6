#pragma once

#include "render/PreviewCanvas.h"

#include <QImage>
#include <QWidget>

namespace vexa {

// The face of a sign: one frame of a playback (one pixel per dot, in sign colours) drawn
// with every dot zoom pixels large, framed and gridded as the row previews are.
class SignFace : public QWidget {
    Q_OBJECT
public:
    explicit SignFace(QWidget* parent = nullptr);

    void SetFrame(const QImage& frame, int zoom);
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage frame;
    int zoom = 4;
    PreviewCanvas canvas;
    QImage dots;
};

} // namespace vexa
