#pragma once

#include "core/SignColours.h"

#include <QMenu>
#include <array>

class QAction;

namespace vexa {

class LanguageTexts;

// The menu of the LED colours a single-colour sign may have (red, amber, green, white): the
// operator tells which one the sign shows, and the previews draw its dots in it. One item is
// checked; choosing one emits chosen.
class SignColourMenu : public QMenu {
    Q_OBJECT
public:
    explicit SignColourMenu(QWidget* parent = nullptr);

    void ShowChoice(LedColour led);
    // The menu's title and items in the language of texts.
    void ApplyTexts(const LanguageTexts& texts);
    QAction* ItemOf(LedColour led) const;

signals:
    void chosen(LedColour led);

private:
    std::array<QAction*, 4> items{};
};

} // namespace vexa
