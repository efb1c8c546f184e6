#pragma once

#include <QString>

namespace vexa {

// A one-line progress bar on stderr for long link operations, drawn only when stderr is
// a terminal so that scripts and logs get the result lines alone.
class ProgressBar {
public:
    explicit ProgressBar(QString label = QString());
    ~ProgressBar();

    void SetLabel(const QString& text);
    void Update(int percent);
    // Ends the bar's line (once something was drawn).
    void Finish();

private:
    QString label;
    int shown = -1;
    bool enabled = false;
};

} // namespace vexa
