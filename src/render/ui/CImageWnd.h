#pragma once

#include "render/MessageImage.h"

#include <QTimer>
#include <QWidget>

namespace vexa {

// The dot-matrix preview of one message: paints the enlarged preview of a MessageImage
// it does not own, scaled to the widget (sharp on high-DPI screens), redraws a date
// preview every second so its clock runs, and reports double-clicks. Carries the dynamic
// property controlId. Until an image is set it paints only its background.
class CImageWnd : public QWidget {
    Q_OBJECT
public:
    explicit CImageWnd(QWidget* parent = nullptr, int controlId = 0);

    // Shows a message image owned elsewhere (a row of the application's RowImages, an
    // editor model's preview); the window paints it and never deletes it. The image keeps
    // its own control ID. nullptr shows nothing.
    void SetImage(MessageImage* shown);
    bool HasImage() const { return image != nullptr; }

    // The message drawn (an image must be set); owners set its members (rows, yOffset,
    // ...) and call Refresh().
    MessageImage& Image() {
        Q_ASSERT(image);
        return *image;
    }
    const MessageImage& Image() const {
        Q_ASSERT(image);
        return *image;
    }

    // Parses the content into the image, redraws at once and starts or stops the date timer.
    void SetContent(const QString& content);
    void SetPageAlign(bool align);

    // Drops the preview cache and repaints (after an owner changed the image directly).
    void Refresh();

    int ControlId() const { return property("controlId").toInt(); }
    void SetControlId(int id);

    QSize sizeHint() const override { return {320, 34}; }

signals:
    void doubleClicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void FollowKind();

    MessageImage* image = nullptr;
    QTimer dateTimer;
};

} // namespace vexa
