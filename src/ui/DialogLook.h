#pragma once

#include <QColor>
#include <QString>
#include <QWidget>

namespace vexa {

// The look every window of the program shares: the pale blue background behind
// transparent static texts, and the template number the language texts are keyed by.
class DialogLook {
public:
    static QColor Background() { return QColor(240, 250, 255); }
    // The caption of message boxes that carry the program's name (an empty caption would
    // show the executable's name instead).
    static QString ProgramTitle() { return QStringLiteral("Vexa Message Editor"); }

    // Gives a top-level window the background and carries its template number as the
    // dynamic property "templateId".
    static void Apply(QWidget* window, int templateId);
    // The template number a window carries, 0 when it has none.
    static int TemplateId(const QWidget* window);
    // Tags a control with its control ID (the dynamic property "controlId").
    static void SetControlId(QWidget* control, int controlId);
    // Tags a control with its control ID and gives it the name screen readers announce.
    template <typename W> static W* Tag(W* control, int controlId, const QString& accessibleName) {
        SetControlId(control, controlId);
        control->setAccessibleName(accessibleName);
        return control;
    }
};

} // namespace vexa
