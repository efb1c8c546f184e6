#include "app/ui/CWzdStatusBar.h"

#include <QLabel>

namespace vexa {

namespace {
constexpr std::array<int, CWzdStatusBar::PaneCount> kPaneWidths = {160, 120, 560, 100};
constexpr int kStretchingPane = 2;
} // namespace

CWzdStatusBar::CWzdStatusBar(QWidget* parent) : QStatusBar(parent) {
    setProperty("controlId", ControlId);
    setSizeGripEnabled(true);
    for (int i = 0; i < PaneCount; ++i) {
        auto* pane = new QLabel(this);
        pane->setProperty("controlId", FirstPaneId + i);
        pane->setFrameShape(QFrame::StyledPanel);
        pane->setFrameShadow(QFrame::Sunken);
        pane->setContentsMargins(4, 0, 4, 0);
        const bool stretches = i == kStretchingPane;
        pane->setMinimumWidth(stretches ? 60 : kPaneWidths[static_cast<size_t>(i)]);
        pane->setSizePolicy(stretches ? QSizePolicy::Expanding : QSizePolicy::Fixed, QSizePolicy::Preferred);
        if (!stretches)
            pane->setFixedWidth(kPaneWidths[static_cast<size_t>(i)]);
        addPermanentWidget(pane, stretches ? 1 : 0);
        panes[static_cast<size_t>(i)] = pane;
    }
}

void CWzdStatusBar::SetPaneText(int pane, const QString& text) {
    if (pane >= 0 && pane < PaneCount)
        panes[static_cast<size_t>(pane)]->setText(text);
}

void CWzdStatusBar::SetPaneToolTip(int pane, const QString& text) {
    if (pane >= 0 && pane < PaneCount)
        panes[static_cast<size_t>(pane)]->setToolTip(text);
}

QString CWzdStatusBar::PaneText(int pane) const {
    return pane >= 0 && pane < PaneCount ? panes[static_cast<size_t>(pane)]->text() : QString();
}

} // namespace vexa
