#include "cli/ProgressBar.h"

#include <algorithm>
#include <cstdio>
#include <unistd.h>

namespace vexa {

ProgressBar::ProgressBar(QString text) : label(std::move(text)), enabled(isatty(STDERR_FILENO) != 0) {}

ProgressBar::~ProgressBar() {
    Finish();
}

void ProgressBar::SetLabel(const QString& text) {
    Finish();
    label = text;
}

void ProgressBar::Update(int percent) {
    percent = std::clamp(percent, 0, 100);
    if (!enabled || percent == shown)
        return;
    shown = percent;
    constexpr int width = 30;
    const int filled = percent * width / 100;
    const QString bar = QString(filled, u'#') + QString(width - filled, u' ');
    std::fprintf(stderr, "\r%s[%s] %3d%%", qPrintable(label.isEmpty() ? QString() : label + u' '),
                 qPrintable(bar), percent);
    std::fflush(stderr);
}

void ProgressBar::Finish() {
    if (enabled && shown >= 0) {
        std::fputc('\n', stderr);
        std::fflush(stderr);
    }
    shown = -1;
}

} // namespace vexa
