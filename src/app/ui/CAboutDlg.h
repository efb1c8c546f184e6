#pragma once

#include "ui/CVexaDialog.h"

namespace vexa {

// The about box: program icon, program name, build date and OK.
class CAboutDlg : public CVexaDialog {
    Q_OBJECT
public:
    static constexpr int TemplateId = 100;
    static const QString Caption;

    explicit CAboutDlg(QWidget* parent = nullptr);

    // format: "Built %1" in the current language.
    static QString BuildDateLine(const QString& format);
};

} // namespace vexa
