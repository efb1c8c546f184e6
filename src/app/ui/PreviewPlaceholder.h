#pragma once

#include <QString>
#include <QWidget>

namespace vexa {

// Stand-in for the dot-matrix preview of a message row until the rendering library's
// preview window is linked in: it keeps the same owner members and operations, draws the
// empty dot field of the model's height and reports double-clicks.
class PreviewPlaceholder : public QWidget {
    Q_OBJECT
public:
    explicit PreviewPlaceholder(QWidget* parent = nullptr);

    // Owner members (see the preview window): set them, then call DropCache().
    int rows = 16;
    int exportHeight = 0;
    int yOffset = 0;
    int arabic = 0;
    int pageWidth = 64;
    int pagePitch = 0;
    int pageAlign = 1;

    void SetContent(const QString& content);
    QString Content() const { return content; }
    void SetPageAlign(bool align);
    void DropCache() { update(); }

    QSize sizeHint() const override { return {320, 30}; }
    QSize minimumSizeHint() const override { return {120, 18}; }

signals:
    void doubleClicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    QString content;
};

} // namespace vexa
