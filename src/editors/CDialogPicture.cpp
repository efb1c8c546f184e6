#include "editors/CDialogPicture.h"

#include "ui/DialogLook.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>

namespace vexa {

namespace {

using Text = LanguageTexts::Text;

constexpr QSize kOriginalBox{320, 240};
constexpr int kResultBoxWidth = 482;
constexpr int kMaxResultPixels = 8192; // widest result view; the rest of a long picture scrolls off

// Pixels per dot of the result view: about 96 pixels for the sign's height.
int DotPixels(int rows) {
    return std::max(4, 96 / std::max(1, rows));
}

QLabel* Label(QWidget* parent, const QString& text, QWidget* buddy) {
    auto* label = new QLabel(text, parent);
    label->setBuddy(buddy);
    return label;
}

} // namespace

CDialogPicture::CDialogPicture(const PictureImportModel::Setup& setup, const QString& path, QWidget* parent)
    : CVexaDialog(TemplateId, parent), model(setup) {
    setWindowTitle(Say(Text::ImportPictureTitle));
    refuse = [](QWidget* owner, const QString& text) {
        QMessageBox::warning(owner, Say(owner, Text::CaptionWarning), text);
    };
    BuildControls();
    connect(&model, &PictureImportModel::Changed, this, &CDialogPicture::ShowState);
    model.Open(path);
    ApplyDialogTexts();
}

void CDialogPicture::BuildControls() {
    const DisplayModel& sign = model.Model();
    auto* originalGroup = DialogLook::Tag(new QGroupBox(Say(Text::PictureOriginal), this), OriginalGroup,
                                          Say(Text::PictureOriginal));
    originalView = DialogLook::Tag(new QLabel(originalGroup), OriginalView, Say(Text::PictureOriginal));
    originalView->setFixedSize(kOriginalBox);
    originalView->setAlignment(Qt::AlignCenter);
    originalInfo = DialogLook::Tag(new QLabel(originalGroup), OriginalInfo, Say(Text::PictureOriginal));
    auto* originalLayout = new QVBoxLayout(originalGroup);
    originalLayout->addWidget(originalView);
    originalLayout->addWidget(originalInfo);

    auto* resultGroup =
        DialogLook::Tag(new QGroupBox(Say(Text::PictureOnSign), this), ResultGroup, Say(Text::PictureOnSign));
    resultView = DialogLook::Tag(new QLabel, ResultView, Say(Text::PictureOnSign));
    resultView->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    auto* scroll = new QScrollArea(resultGroup);
    scroll->setWidget(resultView);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setFixedWidth(kResultBoxWidth);
    scroll->setFixedHeight(2 + sign.rows * DotPixels(sign.rows) +
                           scroll->horizontalScrollBar()->sizeHint().height());
    scroll->setFocusPolicy(Qt::NoFocus);
    resultInfo = DialogLook::Tag(new QLabel(resultGroup), ResultInfo, Say(Text::PictureOnSign));
    resultInfo->setWordWrap(true);
    resultInfo->setMaximumWidth(kResultBoxWidth);
    auto* resultLayout = new QVBoxLayout(resultGroup);
    resultLayout->addWidget(scroll);
    resultLayout->addWidget(resultInfo);
    resultLayout->addStretch();

    heightBox = DialogLook::Tag(new QSpinBox(this), HeightBox, Say(Text::PictureHeight));
    heightBox->setRange(1, sign.rows);
    heightBox->setValue(sign.rows);
    dotsBox = DialogLook::Tag(new QComboBox(this), DotsBox, Say(Text::PictureDots));
    dotsBox->addItem(Say(Text::PictureThreshold), int(DotMethod::Threshold));
    dotsBox->addItem(Say(Text::PictureFloydSteinberg), int(DotMethod::FloydSteinberg));
    dotsBox->addItem(Say(Text::PictureOrdered), int(DotMethod::Ordered));
    levelBox = DialogLook::Tag(new QSpinBox(this), LevelBox, Say(Text::PictureLevel));
    levelBox->setRange(-1, 255);
    levelBox->setSpecialValueText(Say(Text::PictureAuto));
    levelBox->setValue(-1);
    invertBox =
        DialogLook::Tag(new QCheckBox(Say(Text::PictureInvert), this), InvertBox, Say(Text::PictureInvert));
    colourBox = DialogLook::Tag(new QComboBox(this), ColourBox, Say(Text::ColourTip));
    if (SignColours::IsSingleColour(sign.packKind)) {
        colourBox->addItem(Say(Text::PictureOneColour), -1);
        colourBox->setEnabled(false);
    } else {
        colourBox->addItem(Say(Text::PictureNearestColour), -1);
        colourBox->addItem(Say(Text::PictureRed), int(SignLight::Red));
        colourBox->addItem(Say(Text::PictureGreen), int(SignLight::Green));
        colourBox->addItem(Say(Text::PictureYellow), int(SignLight::Yellow));
    }

    auto* choices = new QGridLayout;
    choices->addWidget(Label(this, Say(Text::PictureHeight), heightBox), 0, 0);
    choices->addWidget(heightBox, 0, 1);
    choices->addWidget(Label(this, Say(Text::PictureDots), dotsBox), 0, 2);
    choices->addWidget(dotsBox, 0, 3);
    choices->addWidget(Label(this, Say(Text::PictureLevel), levelBox), 0, 4);
    choices->addWidget(levelBox, 0, 5);
    choices->addWidget(Label(this, Say(Text::ColourTip), colourBox), 1, 0);
    choices->addWidget(colourBox, 1, 1);
    choices->addWidget(invertBox, 1, 2, 1, 4);
    choices->setColumnStretch(6, 1);

    progress = DialogLook::Tag(new QProgressBar(this), ProgressBar, Say(Text::PictureStop));
    progress->setRange(0, 100);
    stop = DialogLook::Tag(new QPushButton(Say(Text::PictureStop), this), StopButton, Say(Text::PictureStop));
    stop->setAutoDefault(false);
    ok = DialogLook::Tag(new QPushButton(Say(Text::ButtonOk), this), OkButton, Say(Text::ButtonOk));
    auto* cancel = DialogLook::Tag(new QPushButton(Say(Text::ButtonCancel), this), CancelButton,
                                   Say(Text::ButtonCancel));
    ok->setDefault(true);
    cancel->setAutoDefault(false);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(progress, 1);
    buttons->addWidget(stop);
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);

    auto* pictures = new QHBoxLayout;
    pictures->addWidget(originalGroup);
    pictures->addWidget(resultGroup, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(pictures);
    layout->addLayout(choices);
    layout->addLayout(buttons);

    setTabOrder(heightBox, dotsBox);
    setTabOrder(dotsBox, levelBox);
    setTabOrder(levelBox, colourBox);
    setTabOrder(colourBox, invertBox);
    setTabOrder(invertBox, stop);
    setTabOrder(stop, ok);
    setTabOrder(ok, cancel);

    connect(heightBox, &QSpinBox::valueChanged, this, &CDialogPicture::OnOptionsChanged);
    connect(dotsBox, &QComboBox::currentIndexChanged, this, &CDialogPicture::OnOptionsChanged);
    connect(levelBox, &QSpinBox::valueChanged, this, &CDialogPicture::OnOptionsChanged);
    connect(colourBox, &QComboBox::currentIndexChanged, this, &CDialogPicture::OnOptionsChanged);
    connect(invertBox, &QCheckBox::clicked, this, [this] {
        invertChosen = true;
        OnOptionsChanged();
    });
    connect(stop, &QPushButton::clicked, &model, &PictureImportModel::Cancel);
    connect(ok, &QPushButton::clicked, this, &CDialogPicture::OnOk);
    connect(cancel, &QPushButton::clicked, this, &CDialogPicture::reject);
}

void CDialogPicture::OnOptionsChanged() {
    PictureOptions options;
    options.height = heightBox->value();
    options.dots = static_cast<DotMethod>(dotsBox->currentData().toInt());
    options.level = levelBox->value();
    levelBox->setEnabled(options.dots == DotMethod::Threshold);
    if (invertChosen)
        options.background = invertBox->isChecked() ? PictureBackground::Invert : PictureBackground::Keep;
    const int colour = colourBox->currentData().toInt();
    if (colour >= 0)
        options.colour = static_cast<SignLight>(colour);
    model.SetOptions(options);
}

void CDialogPicture::ShowState() {
    using State = PictureImportModel::State;
    const State state = model.CurrentState();
    const QImage& thumbnail = model.Thumbnail();
    originalView->setPixmap(thumbnail.isNull()
                                ? QPixmap()
                                : QPixmap::fromImage(thumbnail.scaled(kOriginalBox, Qt::KeepAspectRatio,
                                                                      Qt::SmoothTransformation)));
    const QSize source = model.SourceSize();
    originalInfo->setText(
        source.isValid() ? Say(Text::PictureSourceInfo).arg(source.width()).arg(source.height()) : QString());
    progress->setVisible(state == State::Working);
    progress->setValue(model.Progress());
    stop->setEnabled(state == State::Working);
    ok->setEnabled(state == State::Ready);
    const PreparedPicture& result = model.Result();
    switch (state) {
    case State::Ready:
        resultInfo->setText(Say(Text::PictureResultInfo)
                                .arg(result.image.width())
                                .arg(result.image.height())
                                .arg(result.litDots));
        if (!invertChosen)
            invertBox->setChecked(result.inverted);
        break;
    case State::Failed:
        resultInfo->setText(Say(Text::PictureUnreadable).arg(model.Error()));
        break;
    case State::Cancelled:
        resultInfo->setText(Say(Text::PictureStopped));
        break;
    case State::Empty:
    case State::Working:
        break;
    }
    ShowResult();
}

void CDialogPicture::ShowResult() {
    const int rows = model.Model().rows;
    const int dot = DotPixels(rows);
    const int columns =
        model.CurrentState() == PictureImportModel::State::Ready ? model.Result().image.width() : 0;
    const QSize client(std::clamp(2 + columns * dot, kResultBoxWidth, kMaxResultPixels), 2 + rows * dot);
    resultView->setPixmap(QPixmap::fromImage(model.ResultPreview(client)));
    resultView->resize(client);
}

void CDialogPicture::OnOk() {
    QString reason;
    const QString path = model.Save(&reason);
    if (path.isEmpty()) {
        if (refuse)
            refuse(this, Say(Text::PictureSaveFailed).arg(reason));
        return;
    }
    savedPath = path;
    accept();
}

void CDialogPicture::reject() {
    model.Cancel();
    CVexaDialog::reject();
}

} // namespace vexa
