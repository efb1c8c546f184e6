#include "ui/ToolTipStyle.h"

namespace vexa {

int ToolTipStyle::styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                            QStyleHintReturn* returnData) const {
    if (hint == SH_ToolTip_WakeUpDelay)
        return WakeUpDelayMs;
    return QProxyStyle::styleHint(hint, option, widget, returnData);
}

} // namespace vexa
