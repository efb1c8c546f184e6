#pragma once

#include <QObject>

class QFont;

namespace vexa {

// Keeps every tooltip of the program at most MaxWidthPx wide: installed on the
// application, it shows the tips of widgets and of item-view entries itself, broken into
// lines at word boundaries (a single word wider than the limit keeps its own line). Rich
// text tips are shown as they are.
class ToolTipWrapper : public QObject {
    Q_OBJECT
public:
    static constexpr int MaxWidthPx = 100;

    using QObject::QObject;

    // Breaks plain text into lines of at most maxWidth pixels in font; kept line breaks
    // stay, trailing spaces of a broken line go.
    static QString Wrap(const QString& text, const QFont& font, int maxWidth = MaxWidthPx);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

} // namespace vexa
