#include "editors/CUpDownArrows.h"

#include "ui/CVexaDialog.h"

#include <QKeyEvent>
#include <QStyleOptionFocusRect>
#include <QStylePainter>
#include <QToolButton>
#include <QVBoxLayout>

namespace vexa {

namespace {

QToolButton* MakeArrow(Qt::ArrowType type, const QString& name, QWidget* parent) {
    auto* button = new QToolButton(parent);
    button->setArrowType(type);
    button->setAutoRepeat(true);
    button->setFocusPolicy(Qt::NoFocus); // the pair takes the focus as one control
    button->setFixedSize(18, 11);
    button->setAccessibleName(name);
    button->setToolTip(name);
    return button;
}

} // namespace

CUpDownArrows::CUpDownArrows(QWidget* parent)
    : QWidget(parent),
      up(MakeArrow(Qt::UpArrow, CVexaDialog::Say(parent, LanguageTexts::Text::MoveUpTip), this)),
      down(MakeArrow(Qt::DownArrow, CVexaDialog::Say(parent, LanguageTexts::Text::MoveDownTip), this)) {
    setFocusPolicy(Qt::StrongFocus);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(1, 1, 1, 1); // room for the focus frame
    layout->setSpacing(0);
    layout->addWidget(up);
    layout->addWidget(down);
    connect(up, &QToolButton::clicked, this, [this] { emit stepped(-1); });
    connect(down, &QToolButton::clicked, this, [this] { emit stepped(1); });
}

void CUpDownArrows::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Up) {
        emit stepped(-1);
        return;
    }
    if (event->key() == Qt::Key_Down) {
        emit stepped(1);
        return;
    }
    QWidget::keyPressEvent(event);
}

// The pair shows the keyboard focus with the style's focus frame around both arrows.
void CUpDownArrows::paintEvent(QPaintEvent*) {
    if (!hasFocus())
        return;
    QStylePainter painter(this);
    QStyleOptionFocusRect option;
    option.initFrom(this);
    painter.drawPrimitive(QStyle::PE_FrameFocusRect, option);
}

} // namespace vexa
