#include "ui/DialogLook.h"

#include <QPalette>
#include <QWidget>

namespace vexa {

void DialogLook::Apply(QWidget* window, int templateId) {
    window->setProperty("templateId", templateId);
    QPalette pal = window->palette();
    pal.setColor(QPalette::Window, Background());
    window->setPalette(pal);
    window->setAutoFillBackground(true);
}

int DialogLook::TemplateId(const QWidget* window) {
    return window->property("templateId").toInt();
}

void DialogLook::SetControlId(QWidget* control, int controlId) {
    control->setProperty("controlId", controlId);
}

} // namespace vexa
