#include "ui/DialogLook.h"

#include "ui/AccessibleComboBox.h"

#include <QApplication>
#include <QEvent>
#include <QPalette>
#include <QWidget>

namespace vexa {

namespace {

// The background is registered as the palette of the window's class rather than set on
// the window: a palette set on a window gives every control in it a palette of its own,
// and the style then draws every button and box afresh instead of reusing the pixmaps it
// keeps per palette, size and state. A class palette is shared by the windows and all
// their controls. Without resolve bits the windows and controls take it as it is, so they
// all share one: the style's pixmaps serve every window, not only the first.
void RegisterBackground(QWidget* window) {
    const char* lookClass = window->metaObject()->className();
    if (QApplication::palette(lookClass).color(QPalette::Window) != DialogLook::Background()) {
        QPalette pal = QApplication::palette();
        pal.setColor(QPalette::Window, DialogLook::Background());
        pal.setResolveMask(0);
        QApplication::setPalette(pal, lookClass);
    }
    window->setPalette(QPalette()); // resolved afresh: the class palette
}

// A new application palette (a desktop theme change brings one) drops the class
// palettes: the window registers its background again, on the new palette.
class BackgroundKeeper : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::ApplicationPaletteChange)
            RegisterBackground(static_cast<QWidget*>(watched));
        return false;
    }
};

} // namespace

// The window's class is the one under construction (CVexaDialog or CVexaDlg), which every
// window of the program derives from.
void DialogLook::Apply(QWidget* window, int templateId) {
    AccessibleComboBox::Install(); // every window's drop-downs are named by their purpose
    window->setProperty("templateId", templateId);
    RegisterBackground(window);
    window->setAutoFillBackground(true);
    window->installEventFilter(new BackgroundKeeper(window));
}

int DialogLook::TemplateId(const QWidget* window) {
    return window->property("templateId").toInt();
}

void DialogLook::SetControlId(QWidget* control, int controlId) {
    control->setProperty("controlId", controlId);
}

} // namespace vexa
