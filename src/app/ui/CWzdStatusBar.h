#pragma once

#include <QStatusBar>
#include <array>

class QLabel;

namespace vexa {

// The main window's status bar: four panes (IDs 1001-1004) 160, 120, 560 and 100 pixels
// wide; the third one takes what the window gains in width.
class CWzdStatusBar : public QStatusBar {
    Q_OBJECT
public:
    static constexpr int ControlId = 59393;
    static constexpr int PaneCount = 4;
    static constexpr int FirstPaneId = 1001;

    explicit CWzdStatusBar(QWidget* parent = nullptr);

    void SetPaneText(int pane, const QString& text);
    QString PaneText(int pane) const;
    void SetPaneToolTip(int pane, const QString& text);

private:
    std::array<QLabel*, PaneCount> panes{};
};

} // namespace vexa
