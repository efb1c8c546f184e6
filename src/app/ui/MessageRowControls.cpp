#include "app/ui/MessageRowControls.h"

#include "core/ModelCatalogue.h"
#include "ui/CImageCheckBox.h"
#include "ui/UiPictures.h"

#include <QAction>
#include <QComboBox>
#include <QFontMetrics>
#include <QGridLayout>
#include <QKeyEvent>
#include <QMenu>
#include <QPushButton>
#include <QStyle>
#include <QToolButton>
#include <algorithm>

namespace vexa {

namespace {

constexpr int MarqueeField = 4;
constexpr int SendField = 6;
constexpr int ArabicField = 8;
constexpr int BlinkField = 9;

QComboBox* MakeBox(const QStringList& items, int id, QWidget* parent) {
    auto* box = new QComboBox(parent);
    box->addItems(items);
    box->setCurrentIndex(0);
    box->setProperty("controlId", id);
    box->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    return box;
}

QPushButton* MakeMenuButton(int id, QMenu* menu, QWidget* parent) {
    auto* button = new QPushButton(parent);
    button->setProperty("controlId", id);
    button->setMenu(menu);
    button->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    return button;
}

} // namespace

MessageRowControls::MessageRowControls(int rowIndex, QWidget* parent, TextWidths* widths)
    : QObject(parent), row(rowIndex), preview(new CImageWnd(parent, PreviewId + rowIndex)),
      contentButton(nullptr), contentMenu(new QMenu(parent)), effectButton(nullptr),
      effectMenu(new QMenu(parent)), speedBox(MakeBox(RowRules::SpeedItems(), SpeedId + rowIndex, parent)),
      timeBox(MakeBox(RowRules::TimeItems(), TimeId + rowIndex, parent)),
      marqueeBox(new CImageCheckBox(UiPictures::CheckBoxOff, UiPictures::CheckBoxOn, parent)),
      blinkBox(new CImageCheckBox(UiPictures::CheckBoxOff, UiPictures::CheckBoxOn, parent)),
      sendBox(new CImageCheckBox(UiPictures::CheckBoxOff, UiPictures::CheckBoxOn, parent)),
      rightToLeftBox(new CImageCheckBox(UiPictures::RightToLeftOff, UiPictures::RightToLeftOn, parent)),
      playButton(new QToolButton(preview)), textWidths(widths ? widths : &ownWidths) {
    preview->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    preview->setMinimumSize(120, 18);
    preview->SetMarksFindings(true);
    contentButton = MakeMenuButton(ContentId + row, contentMenu, parent);
    effectButton = MakeMenuButton(EffectId + row, effectMenu, parent);
    marqueeBox->setProperty("controlId", MarqueeId + row);
    blinkBox->setProperty("controlId", BlinkId + row);
    sendBox->setProperty("controlId", SendId + row);
    rightToLeftBox->setProperty("controlId", RightToLeftId + row);
    rightToLeftBox->hide(); // the right-to-left flag is set in the text editor only
    preview->setToolTip(QStringLiteral("Double-click to edit"));
    contentButton->setToolTip(QStringLiteral("Edit"));
    effectButton->setToolTip(QStringLiteral("Effect"));
    speedBox->setToolTip(QStringLiteral("Speed"));
    timeBox->setToolTip(QStringLiteral("Time"));
    marqueeBox->setToolTip(QStringLiteral("Marquee"));
    blinkBox->setToolTip(QStringLiteral("Blink"));
    sendBox->setToolTip(QStringLiteral("Send"));
    playButton->setCheckable(true);
    playButton->setAutoRaise(true);
    playButton->setFocusPolicy(Qt::TabFocus);
    preview->setFocusPolicy(Qt::StrongFocus); // a click selects the row; Space then plays it
    preview->installEventFilter(this);
    NameForAccessibility();
    ShowPlayState();
    connect(playButton, &QToolButton::toggled, this, [this](bool on) {
        ShowPlayState();
        emit playToggled(row, on);
    });
    // Keyboard order follows the screen, left to right.
    QWidget* const order[] = {preview, playButton, contentButton, effectButton, speedBox,
                              timeBox, marqueeBox, blinkBox,      sendBox};
    for (size_t i = 1; i < std::size(order); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);

    connect(preview, &CImageWnd::doubleClicked, this, [this] { emit previewDoubleClicked(row); });
    connect(speedBox, &QComboBox::activated, this, [this](int index) { emit speedChosen(row, index); });
    connect(timeBox, &QComboBox::activated, this, [this](int index) { emit timeChosen(row, index); });
    const std::pair<CImageCheckBox*, int> flags[] = {{marqueeBox, MarqueeField},
                                                     {blinkBox, BlinkField},
                                                     {sendBox, SendField},
                                                     {rightToLeftBox, ArabicField}};
    for (const auto& [box, field] : flags) {
        connect(box, &CImageCheckBox::clicked, this,
                [this, f = field](bool checked) { emit flagClicked(row, f, checked); });
    }
    connect(contentMenu, &QMenu::triggered, this,
            [this](QAction* action) { emit contentItemChosen(row, action->data().toInt()); });
    connect(effectMenu, &QMenu::triggered, this,
            [this](QAction* action) { emit effectItemChosen(row, action->data().toInt()); });
}

// Screen readers name each control by its row ("Row 3 effect"), since the row grid has
// no labels of its own.
void MessageRowControls::NameForAccessibility() {
    const std::pair<QWidget*, const char*> controls[] = {
        {preview, "preview"}, {contentButton, "content"}, {effectButton, "effect"},
        {speedBox, "speed"},  {timeBox, "display time"},  {marqueeBox, "marquee"},
        {blinkBox, "blink"},  {sendBox, "send"},          {rightToLeftBox, "right to left"}};
    for (const auto& [control, what] : controls)
        control->setAccessibleName(QStringLiteral("Row %1 %2").arg(row + 1).arg(QLatin1String(what)));
}

void MessageRowControls::SetPlayTexts(const QString& play, const QString& pause) {
    playText = play;
    pauseText = pause;
    ShowPlayState();
}

void MessageRowControls::ShowPlayState() {
    const bool on = playButton->isChecked();
    const QString name = (on ? pauseText : playText).arg(row + 1);
    playButton->setIcon(playButton->style()->standardIcon(on ? QStyle::SP_MediaPause : QStyle::SP_MediaPlay));
    playButton->setAccessibleName(name);
    playButton->setToolTip(name);
}

void MessageRowControls::PlacePlayButton() {
    const int side = std::clamp(preview->height() - 4, 10, 18);
    playButton->setFixedSize(side, side);
    playButton->setIconSize(QSize(side - 4, side - 4));
    playButton->move(preview->width() - side - 2, (preview->height() - side) / 2);
}

bool MessageRowControls::eventFilter(QObject* watched, QEvent* event) {
    if (watched == preview) {
        if (event->type() == QEvent::Resize)
            PlacePlayButton();
        if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Space) {
            playButton->toggle();
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

void MessageRowControls::FillMenu(QMenu* menu, const QStringList& texts, int firstItem) {
    menu->clear();
    for (int i = 0; i < texts.size(); ++i) {
        QAction* action = menu->addAction(texts[i]);
        const int item = firstItem + i;
        action->setData(item);
        action->setProperty("commandId", item);
    }
}

// A menu that already holds the wanted items is left as it is (and its button as wide).
void MessageRowControls::SetMenus(bool hasClock, int effectListSet) {
    const QStringList contentItems = ModelCatalogue::ContentItems(hasClock);
    if (!HoldsTexts(contentMenu, contentItems)) {
        FillMenu(contentMenu, contentItems, RowRules::TextItem);
        FitToMenu(contentButton);
    }
    const QStringList effectItems = ModelCatalogue::EffectNames(effectListSet);
    if (!HoldsTexts(effectMenu, effectItems)) {
        FillMenu(effectMenu, effectItems, RowRules::MenuItemBase);
        FitToMenu(effectButton);
    }
}

bool MessageRowControls::HoldsTexts(const QMenu* menu, const QStringList& texts) {
    const QList<QAction*> items = menu->actions();
    if (items.size() != texts.size())
        return false;
    for (qsizetype i = 0; i < items.size(); ++i) {
        if (items[i]->text() != texts[i])
            return false;
    }
    return true;
}

// True when a text changed.
bool MessageRowControls::SetItemTexts(QMenu* menu, const QStringList& texts) {
    const QList<QAction*> items = menu->actions();
    bool changed = false;
    for (qsizetype i = 0; i < items.size() && i < texts.size(); ++i) {
        if (items[i]->text() == texts[i])
            continue;
        items[i]->setText(texts[i]);
        changed = true;
    }
    return changed;
}

int MessageRowControls::TextWidths::Of(const QFontMetrics& metrics, const QString& text) {
    const auto found = widths.constFind(text);
    if (found != widths.cend())
        return *found;
    const int width = metrics.horizontalAdvance(text);
    widths.insert(text, width);
    return width;
}

void MessageRowControls::TextWidths::UseFont(const QFont& font) {
    const QString key = font.key();
    if (key == fontKey)
        return;
    widths.clear();
    fontKey = key;
}

void MessageRowControls::FitToMenu(QPushButton* button) {
    textWidths->UseFont(button->font());
    const QFontMetrics metrics = button->fontMetrics();
    int widest = textWidths->Of(metrics, QStringLiteral("Animation"));
    for (const QAction* item : button->menu()->actions())
        widest = std::max(widest, textWidths->Of(metrics, item->text()));
    button->setMinimumWidth(widest + 30);
}

void MessageRowControls::SetMenuTexts(const QStringList& contentTexts, const QStringList& effectTexts) {
    if (SetItemTexts(contentMenu, contentTexts))
        FitToMenu(contentButton);
    if (SetItemTexts(effectMenu, effectTexts))
        FitToMenu(effectButton);
}

QString MessageRowControls::ItemText(const QMenu* menu, int item) {
    for (const QAction* action : menu->actions()) {
        if (action->data().toInt() == item)
            return action->text();
    }
    return {};
}

QString MessageRowControls::ContentCaption(int kind) const {
    return ItemText(contentMenu, RowRules::MenuItemBase + kind);
}

QString MessageRowControls::EffectCaption(int effect) const {
    return ItemText(effectMenu, RowRules::MenuItemBase + effect);
}

void MessageRowControls::PlaceIn(QGridLayout* grid, int gridRow) {
    grid->addWidget(preview, gridRow, PreviewColumn);
    grid->addWidget(contentButton, gridRow, ContentColumn, Qt::AlignVCenter);
    grid->addWidget(effectButton, gridRow, EffectColumn, Qt::AlignVCenter);
    grid->addWidget(speedBox, gridRow, SpeedColumn, Qt::AlignVCenter);
    grid->addWidget(timeBox, gridRow, TimeColumn, Qt::AlignVCenter);
    grid->addWidget(marqueeBox, gridRow, MarqueeColumn, Qt::AlignCenter);
    grid->addWidget(blinkBox, gridRow, BlinkColumn, Qt::AlignCenter);
    grid->addWidget(sendBox, gridRow, SendColumn, Qt::AlignCenter);
    grid->addWidget(rightToLeftBox, gridRow, RightToLeftColumn, Qt::AlignCenter);
}

void MessageRowControls::SetRowVisible(bool visible) {
    QWidget* const controls[] = {preview, contentButton, effectButton, speedBox,
                                 timeBox, marqueeBox,    blinkBox,     sendBox};
    for (QWidget* w : controls)
        w->setVisible(visible);
}

void MessageRowControls::SetColumnTips(const QStringList& words) {
    QWidget* const controls[] = {contentButton, effectButton, speedBox, timeBox,
                                 marqueeBox,    blinkBox,     sendBox};
    for (size_t i = 0; i < std::size(controls) && i < static_cast<size_t>(words.size()); ++i) {
        if (!words[static_cast<qsizetype>(i)].isEmpty())
            controls[i]->setToolTip(words[static_cast<qsizetype>(i)]);
    }
    effectTip = effectButton->toolTip();
}

void MessageRowControls::ShowEffectNote(const QString& note) {
    effectButton->setToolTip(note.isEmpty() ? effectTip : effectTip + QLatin1Char('\n') + note);
    effectButton->setAccessibleDescription(note);
}

void MessageRowControls::ApplyEnabling(const RowEnabling& enabling) {
    sendBox->setEnabled(enabling.send);
    marqueeBox->setEnabled(enabling.marquee);
    rightToLeftBox->setEnabled(enabling.rightToLeft);
    effectButton->setEnabled(enabling.effect);
    speedBox->setEnabled(enabling.speed);
    timeBox->setEnabled(enabling.time);
    blinkBox->setEnabled(enabling.blink);
    if (!enabling.effect)
        playButton->setChecked(false); // an empty row has nothing to play
    playButton->setEnabled(enabling.effect);
}

} // namespace vexa
