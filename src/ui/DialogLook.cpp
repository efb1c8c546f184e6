#include "ui/DialogLook.h"

#include <QApplication>
#include <QPalette>
#include <QWidget>

namespace vexa {

// The background is registered as the palette of the window's class rather than set on
// the window: a palette set on a window gives every control in it a palette of its own,
// and the style then draws every button and box afresh instead of reusing the pixmaps it
// keeps per palette, size and state. A class palette is shared by the windows and all
// their controls. The window's class is the one under construction (CVexaDialog or
// CVexaDlg), which every window of the program derives from.
void DialogLook::Apply(QWidget* window, int templateId) {
    window->setProperty("templateId", templateId);
    const char* lookClass = window->metaObject()->className();
    if (QApplication::palette(lookClass).color(QPalette::Window) != Background()) {
        QPalette pal = QApplication::palette();
        pal.setColor(QPalette::Window, Background());
        // Without resolve bits the windows and controls take the palette as it is, so they
        // all share one: the style's pixmaps serve every window, not only the first.
        pal.setResolveMask(0);
        QApplication::setPalette(pal, lookClass);
    }
    window->setPalette(QPalette()); // resolved afresh: the class palette
    window->setAutoFillBackground(true);
}

int DialogLook::TemplateId(const QWidget* window) {
    return window->property("templateId").toInt();
}

void DialogLook::SetControlId(QWidget* control, int controlId) {
    control->setProperty("controlId", controlId);
}

} // namespace vexa
