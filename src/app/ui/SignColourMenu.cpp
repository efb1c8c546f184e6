#include "app/ui/SignColourMenu.h"

#include "store/LanguageTexts.h"

#include <QActionGroup>

namespace vexa {

namespace {

using Text = LanguageTexts::Text;

struct Item {
    LedColour led;
    Text text;
};

constexpr std::array<Item, 4> kItems{{
    {LedColour::Red, Text::LedRed},
    {LedColour::Amber, Text::LedAmber},
    {LedColour::Green, Text::LedGreen},
    {LedColour::White, Text::LedWhite},
}};

} // namespace

SignColourMenu::SignColourMenu(QWidget* parent) : QMenu(parent) {
    auto* group = new QActionGroup(this);
    group->setExclusive(true);
    for (size_t i = 0; i < kItems.size(); ++i) {
        QAction* action = addAction(SignColours::LedColourName(kItems[i].led));
        action->setCheckable(true);
        group->addAction(action);
        connect(action, &QAction::triggered, this, [this, led = kItems[i].led] { emit chosen(led); });
        items[i] = action;
    }
    ShowChoice(LedColour::Red);
}

void SignColourMenu::ShowChoice(LedColour led) {
    if (QAction* item = ItemOf(led))
        item->setChecked(true);
}

void SignColourMenu::ApplyTexts(const LanguageTexts& texts) {
    setTitle(texts.Get(Text::SignColourMenu));
    for (size_t i = 0; i < kItems.size(); ++i)
        items[i]->setText(texts.Get(kItems[i].text));
}

QAction* SignColourMenu::ItemOf(LedColour led) const {
    for (size_t i = 0; i < kItems.size(); ++i) {
        if (kItems[i].led == led)
            return items[i];
    }
    return nullptr;
}

} // namespace vexa
