#pragma once

#include <QProxyStyle>

namespace vexa {

// The program's style: the platform's own, with tooltips that show after 200 ms.
class ToolTipStyle : public QProxyStyle {
    Q_OBJECT
public:
    static constexpr int WakeUpDelayMs = 200;

    using QProxyStyle::QProxyStyle;

    int styleHint(StyleHint hint, const QStyleOption* option = nullptr, const QWidget* widget = nullptr,
                  QStyleHintReturn* returnData = nullptr) const override;
};

} // namespace vexa
