#pragma once

#include "render/MessageImage.h"

#include <QTimer>
#include <QWidget>

namespace vexa {

// The dot-matrix preview of one message: paints the MessageImage's enlarged preview
// scaled to the widget (sharp on high-DPI screens), redraws a date preview every second
// so its clock runs, and reports double-clicks. Carries the dynamic property controlId.
class CImageWnd : public QWidget {
    Q_OBJECT
public:
    explicit CImageWnd(QWidget* parent = nullptr, int controlId = 0);

    // Shows a message image owned elsewhere (a row of the application's RowImages, an
    // editor model's preview); the window paints it and never deletes it. The image keeps
    // its own control ID. Until one is set the window shows an image of its own.
    void SetImage(MessageImage* shown);

    // The message drawn; owners set its members (rows, yOffset, ...) and call Refresh().
    MessageImage& Image() { return *image; }
    const MessageImage& Image() const { return *image; }

    // Parses the content, redraws at once and starts or stops the date timer.
    void SetContent(const QString& content);
    void SetPageAlign(bool align);
    QString ExportFrame(int frameIndex) { return image->ExportFrame(frameIndex); }
    QString GetPlainText() const { return image->GetPlainText(); }

    // Drops the preview cache and repaints (after an owner changed a member directly).
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

    MessageImage ownImage;
    MessageImage* image = &ownImage;
    QTimer dateTimer;
};

} // namespace vexa
