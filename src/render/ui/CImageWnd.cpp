#include "render/ui/CImageWnd.h"

#include "render/RowCheck.h"
#include "ui/IDialogTexts.h"

#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>
#include <cmath>
#include <cstring>

namespace vexa {

CImageWnd::CImageWnd(QWidget* parent, int controlId) : QWidget(parent), dateTimer(this), stepTimer(this) {
    SetControlId(controlId);
    setAttribute(Qt::WA_OpaquePaintEvent);
    dateTimer.setInterval(1000);
    connect(&dateTimer, &QTimer::timeout, this, [this] {
        if (image)
            image->DropCache();
        update();
    });
    stepTimer.setSingleShot(true);
    stepTimer.setTimerType(Qt::PreciseTimer);
    connect(&stepTimer, &QTimer::timeout, this, qOverload<>(&QWidget::update));
}

void CImageWnd::Play(SharedProgramme programme) {
    playing = std::move(programme);
    playClock.start();
    if (!playing)
        stepTimer.stop();
    update();
}

namespace {

// The language texts of the nearest window that provides them (English without).
const LanguageTexts* TextsAbove(const QWidget* from) {
    for (const QWidget* w = from; w; w = w->parentWidget())
        if (const auto* texts = dynamic_cast<const IDialogTexts*>(w))
            return texts->Texts();
    return nullptr;
}

} // namespace

void CImageWnd::SetImage(MessageImage* shown) {
    image = shown;
    FollowKind();
    update();
    Changed();
}

void CImageWnd::Changed() {
    if (marksFindings)
        DescribeFindings();
    emit imageChanged();
}

QRect CImageWnd::MarkArea() const {
    // The mark stays clear of buttons an owner lays on the preview's right end.
    QRect area = rect();
    for (const QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (!child->isHidden() && child->x() > width() / 2)
            area.setRight(std::min(area.right(), child->x() - 1));
    return area;
}

void CImageWnd::SetMarksFindings(bool marks) {
    marksFindings = marks;
    DescribeFindings();
    update();
}

RowFindings CImageWnd::Findings() const {
    return image ? image->Findings() : RowFindings();
}

QString CImageWnd::FindingsText() const {
    return RowCheck::Describe(Findings(), TextsAbove(this)).join(u'\n');
}

void CImageWnd::DescribeFindings() {
    setAccessibleDescription(marksFindings ? FindingsText() : QString());
}

bool CImageWnd::event(QEvent* event) {
    if (event->type() == QEvent::ToolTipChange && marksFindings)
        DescribeFindings(); // the window's language changed with the tooltip
    if (event->type() == QEvent::ToolTip && marksFindings) {
        const QString findings = FindingsText();
        if (!findings.isEmpty()) {
            const QString tip =
                toolTip().isEmpty() ? findings : toolTip() + QStringLiteral("\n\n") + findings;
            QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(), tip, this);
            return true;
        }
    }
    return QWidget::event(event);
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
    Changed();
    emit refreshed();
}

void CImageWnd::SetPageAlign(bool align) {
    if (!image)
        return;
    image->SetPageAlign(align);
    update();
    Changed();
}

void CImageWnd::Refresh() {
    if (image)
        image->DropCache();
    FollowKind();
    update();
    Changed();
    emit refreshed();
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
    QImage preview = playing ? PlayingFrame(client) : image->PreviewRaster(client);
    preview.setDevicePixelRatio(ratio);
    painter.drawImage(QPoint(0, 0), preview);
    if (marksFindings && !image->Findings().isEmpty())
        RowCheck::DrawMark(painter, MarkArea());
}

// The frame of the step due now, drawn as the preview draws dots, with a mark where the
// sign ends; the timer is set for the moment the step ends.
QImage CImageWnd::PlayingFrame(QSize client) {
    const SignGeometry& sign = playing->Sign();
    playCanvas.SetGeometry(client, sign.rows);
    if (!playCanvas.HasDots())
        return playCanvas.Compose(QImage());
    const qint64 elapsed = playClock.elapsed();
    const int step = playing->StepAt(elapsed);
    playing->Render(step, signFrame);
    if (dots.size() != QSize(playCanvas.DrawnColumns(), sign.rows))
        dots = QImage(playCanvas.DrawnColumns(), sign.rows, QImage::Format_ARGB32_Premultiplied);
    dots.fill(sign.DarkArgb());
    const int copied = std::min(dots.width(), signFrame.width());
    for (int y = 0; y < sign.rows; ++y)
        std::memcpy(dots.scanLine(y), signFrame.constScanLine(y), size_t(copied) * sizeof(QRgb));
    QImage frame = playCanvas.Compose(dots);
    MessageImage::MarkPageColumn(frame, sign.rows, sign.columns);
    if (step >= 0) {
        const PlaybackStep& shown = playing->Steps()[size_t(step)];
        const qint64 into = elapsed % playing->DurationMs();
        stepTimer.start(int(std::max<qint64>(1, shown.startMs + shown.durationMs - into)));
    }
    return frame;
}

void CImageWnd::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        emit doubleClicked();
    QWidget::mouseDoubleClickEvent(event);
}

} // namespace vexa
