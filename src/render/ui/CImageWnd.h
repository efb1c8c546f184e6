#pragma once

#include "playback/PlaybackProgramme.h"
#include "render/MessageImage.h"
#include "render/PreviewCanvas.h"

#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>

namespace vexa {

// The dot-matrix preview of one message: paints the enlarged preview of a MessageImage
// it does not own, scaled to the widget (sharp on high-DPI screens), redraws a date
// preview every second so its clock runs, and reports double-clicks. Carries the dynamic
// property controlId. Until an image is set it paints only its background. While it plays
// a programme it shows the sign's frames instead, dots as large as the preview's.
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

    // Plays a programme in place of the still preview, looping, from its start; nullptr
    // shows the preview again. Frames change on time, not on every paint.
    void Play(SharedProgramme programme);
    bool Playing() const { return playing != nullptr; }

    int ControlId() const { return property("controlId").toInt(); }
    void SetControlId(int id);

    // The main window's previews carry a mark when their row will not look on the sign as
    // composed, and give the reasons in their tooltip and accessible description.
    void SetMarksFindings(bool marks);
    // What will not look as composed in the row shown (empty without an image).
    RowFindings Findings() const;
    // The findings in the language of the window, one per line ("" when none).
    QString FindingsText() const;

    QSize sizeHint() const override { return {320, 34}; }

signals:
    void doubleClicked();
    // The image shown or its content or layout changed (SetImage, SetContent, Refresh,
    // SetPageAlign): its findings may have changed.
    void imageChanged();
    // The content or an owner's setting changed (SetContent, Refresh): a playback of the
    // old content is out of date.
    void refreshed();

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void FollowKind();
    void Changed();
    void DescribeFindings();
    QRect MarkArea() const;
    QImage PlayingFrame(QSize client);

    MessageImage* image = nullptr;
    QTimer dateTimer;
    bool marksFindings = false;
    SharedProgramme playing;
    QElapsedTimer playClock;
    QTimer stepTimer; // fires when the frame shown ends
    PreviewCanvas playCanvas;
    QImage signFrame;
    QImage dots;
};

} // namespace vexa
