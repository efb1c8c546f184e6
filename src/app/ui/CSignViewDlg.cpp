#include "app/ui/CSignViewDlg.h"

#include "app/CVexaApp.h"
#include "app/ui/SignFace.h"
#include "core/ModelCatalogue.h"
#include "render/PlaybackSource.h"

#include <QAccessible>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QSlider>
#include <QSpinBox>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

namespace vexa {

using Text = LanguageTexts::Text;

CSignViewDlg::CSignViewDlg(CVexaApp& context, QWidget* parent)
    : CVexaDialog(TemplateId, parent), app(context) {
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setModal(false);
    tick.setSingleShot(true);
    tick.setTimerType(Qt::PreciseTimer);
    connect(&tick, &QTimer::timeout, this, &CSignViewDlg::OnTick);
    BuildControls();
    ApplyTexts();
    Reload();
}

void CSignViewDlg::BuildControls() {
    face = new SignFace(this);
    auto* scroller = new QScrollArea(this);
    scroller->setWidget(face);
    scroller->setAlignment(Qt::AlignCenter);
    scroller->setFrameShape(QFrame::NoFrame);
    scroller->setMinimumHeight(90);
    scroller->setFocusPolicy(Qt::NoFocus);

    playButton = new QPushButton(this);
    playButton->setCheckable(true);
    playButton->setChecked(true);
    playButton->setDefault(true);
    backButton = new QToolButton(this);
    backButton->setIcon(style()->standardIcon(QStyle::SP_MediaSeekBackward));
    forwardButton = new QToolButton(this);
    forwardButton->setIcon(style()->standardIcon(QStyle::SP_MediaSeekForward));
    timeline = new QSlider(Qt::Horizontal, this);
    timeLabel = new QLabel(this);
    timeLabel->setTextFormat(Qt::PlainText);
    rowLabel = new QLabel(this);
    rowLabel->setTextFormat(Qt::PlainText);
    zoomLabel = new QLabel(this);
    zoomBox = new QSpinBox(this);
    zoomBox->setRange(SignViewModel::MinZoom, SignViewModel::MaxZoom);
    zoomBox->setValue(view.zoom);
    zoomLabel->setBuddy(zoomBox);
    widthLabel = new QLabel(this);
    widthBox = new QSpinBox(this);
    widthBox->setRange(SignGeometry::MinWidth, SignGeometry::MaxWidth);
    widthBox->setKeyboardTracking(false);
    widthLabel->setBuddy(widthBox);
    notesLabel = new QLabel(this);
    notesLabel->setWordWrap(true);
    notesLabel->setTextFormat(Qt::PlainText);

    connect(playButton, &QPushButton::toggled, this, &CSignViewDlg::SetPlaying);
    connect(backButton, &QToolButton::clicked, this, [this] {
        view.Step(-1);
        playButton->setChecked(false);
        ShowFrame();
    });
    connect(forwardButton, &QToolButton::clicked, this, [this] {
        view.Step(1);
        playButton->setChecked(false);
        ShowFrame();
    });
    connect(timeline, &QSlider::valueChanged, this, [this](int ms) {
        if (ms == int(view.Position()))
            return;
        view.Seek(ms);
        wall.restart();
        ShowFrame();
        Schedule();
    });
    connect(zoomBox, &QSpinBox::valueChanged, this, [this](int zoom) {
        view.zoom = zoom;
        ShowFrame();
    });
    connect(widthBox, &QSpinBox::valueChanged, this, [this](int columns) {
        if (!widthBox->isEnabled())
            return;
        app.settingsFile.SetSignWidth(columns);
        Reload();
        emit signWidthChanged();
    });

    auto* controls = new QHBoxLayout;
    controls->addWidget(playButton);
    controls->addWidget(backButton);
    controls->addWidget(forwardButton);
    controls->addWidget(timeline, 1);
    controls->addWidget(timeLabel);
    auto* settings = new QHBoxLayout;
    settings->addWidget(rowLabel, 1);
    settings->addWidget(zoomLabel);
    settings->addWidget(zoomBox);
    settings->addSpacing(12);
    settings->addWidget(widthLabel);
    settings->addWidget(widthBox);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(scroller, 1);
    layout->addLayout(controls);
    layout->addLayout(settings);
    layout->addWidget(notesLabel);
    setTabOrder(playButton, backButton);
    setTabOrder(backButton, forwardButton);
    setTabOrder(forwardButton, timeline);
    setTabOrder(timeline, zoomBox);
    setTabOrder(zoomBox, widthBox);
    resize(720, 260);
}

void CSignViewDlg::ApplyTexts() {
    setWindowTitle(Say(Text::SignViewTitle));
    const QString play = Say(view.IsPlaying() ? Text::PauseButton : Text::PlayButton);
    playButton->setText(play);
    playButton->setAccessibleName(play);
    backButton->setToolTip(Say(Text::StepBackTip));
    backButton->setAccessibleName(Say(Text::StepBackTip));
    forwardButton->setToolTip(Say(Text::StepForwardTip));
    forwardButton->setAccessibleName(Say(Text::StepForwardTip));
    timeline->setAccessibleName(Say(Text::TimelineName));
    zoomLabel->setText(Say(Text::ZoomLabel));
    widthLabel->setText(Say(Text::SignWidthLabel));
}

void CSignViewDlg::Reload() {
    const DisplayModel* model = ModelCatalogue::Find(app.settingsFile.LedType());
    if (!model) {
        view.SetProgramme(nullptr);
        widthBox->setEnabled(false);
        ShowFrame();
        return;
    }
    const SignGeometry sign = SignGeometry::For(*model, app.settingsFile.SignWidth(), app.rowImages.Led());
    auto programme = std::make_shared<const PlaybackProgramme>(
        PlaybackSource::Programme(app.rowImages, app.messageTable, *model, sign));
    view.SetProgramme(programme, PlaybackSource::Notes(*model, app.messageTable, *programme, Texts(), 1));
    {
        const QSignalBlocker blocker(widthBox);
        widthBox->setEnabled(!SignGeometry::WidthFixed(*model));
        widthBox->setValue(sign.columns);
    }
    notesLabel->setText(view.Notes().join(u'\n'));
    notesLabel->setVisible(!view.Notes().isEmpty());
    ApplyTexts();
    ShowFrame();
    Schedule();
}

void CSignViewDlg::SetPlaying(bool on) {
    view.SetPlaying(on);
    wall.restart();
    ApplyTexts();
    Schedule();
}

void CSignViewDlg::OnTick() {
    view.Advance(wall.restart());
    ShowFrame();
    Schedule();
}

void CSignViewDlg::Schedule() {
    const qint64 wait = view.UntilNextStep();
    if (wait > 0 && isVisible())
        tick.start(int(wait));
    else
        tick.stop();
}

void CSignViewDlg::ShowFrame() {
    const SharedProgramme& programme = view.Programme();
    if (programme)
        programme->Render(view.CurrentStep(), frame);
    else
        frame = QImage();
    face->SetFrame(frame, view.zoom);
    {
        const QSignalBlocker blocker(timeline);
        timeline->setRange(0, int(std::max<qint64>(view.DurationMs() - 1, 0)));
        timeline->setValue(int(view.Position()));
    }
    timeLabel->setText(view.TimeText());
    const QString row = view.RowText(Texts());
    if (row != announcedRow) {
        announcedRow = row;
        rowLabel->setText(row);
        rowLabel->setAccessibleName(row);
        // Screen readers hear the row and page change as the sign moves on.
        QAccessibleEvent event(rowLabel, QAccessible::NameChanged);
        QAccessible::updateAccessibility(&event);
    }
}

void CSignViewDlg::showEvent(QShowEvent* event) {
    CVexaDialog::showEvent(event);
    wall.restart();
    Schedule();
}

void CSignViewDlg::hideEvent(QHideEvent* event) {
    tick.stop(); // a hidden view costs nothing
    CVexaDialog::hideEvent(event);
}

} // namespace vexa
