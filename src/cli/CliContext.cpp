#include "cli/CliContext.h"

#include <cstdio>

namespace vexa {

CVexaApp& CliContext::App() {
    if (!app) {
        app = std::make_unique<CVexaApp>(AppPaths::ForApplication(dataDir));
        app->SetErrorReporter([](const QString& caption, const QString& text, const QString& detail) {
            PrintError(caption + QStringLiteral(": ") + text +
                       (detail.isEmpty() ? QString() : QStringLiteral(": ") + detail));
        });
        app->ApplyCodePage(codePage);
    }
    return *app;
}

void CliContext::PrintLine(const QString& text) {
    std::fputs(text.toUtf8().constData(), stdout);
    std::fputc('\n', stdout);
}

void CliContext::PrintError(const QString& text) {
    std::fputs(("vexa: " + text).toUtf8().constData(), stderr);
    std::fputc('\n', stderr);
}

void CliContext::PrintJson(const QJsonDocument& document) {
    std::fputs(document.toJson(QJsonDocument::Compact).constData(), stdout);
    std::fputc('\n', stdout);
}

} // namespace vexa
