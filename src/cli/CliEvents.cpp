#include "cli/CliEvents.h"

#include "app/TransferRunner.h"

#include <QJsonDocument>
#include <cstdio>

namespace vexa {

CliEvents::CliEvents() : enabled(qEnvironmentVariableIntValue(EnvironmentName) == 1) {}

void CliEvents::Emit(const QJsonObject& event) const {
    if (!enabled)
        return;
    const QByteArray line = Prefix + QJsonDocument(event).toJson(QJsonDocument::Compact) + '\n';
    std::fwrite(line.constData(), 1, static_cast<size_t>(line.size()), stderr);
    std::fflush(stderr);
}

void CliEvents::Progress(int percent) {
    if (percent == lastPercent)
        return;
    lastPercent = percent;
    Emit({{QStringLiteral("event"), QStringLiteral("progress")}, {QStringLiteral("percent"), percent}});
}

void CliEvents::Started(int id, const QString& passedOverReason) {
    Finish(passedOverReason);
    openSign = id;
    lastPercent = -1;
    Emit({{QStringLiteral("event"), QStringLiteral("sign")}, {QStringLiteral("id"), id}});
}

void CliEvents::Ended(int id, int result, const QString& reason, const QString& text) {
    if (openSign == id)
        openSign = -1;
    Emit({{QStringLiteral("event"), QStringLiteral("end")},
          {QStringLiteral("id"), id},
          {QStringLiteral("result"), result},
          {QStringLiteral("text"), !text.isEmpty()     ? text
                                   : result == NotSent ? QStringLiteral("not sent")
                                                       : TransferRunner::ResultText(result)},
          {QStringLiteral("reason"), reason}});
}

void CliEvents::Finish(const QString& reason) {
    if (openSign >= 0)
        Ended(openSign, NotSent, reason);
}

void CliEvents::Interrupted(int signalNumber) {
    QJsonObject event{{QStringLiteral("event"), QStringLiteral("interrupted")},
                      {QStringLiteral("signal"), signalNumber}};
    if (openSign >= 0)
        event.insert(QStringLiteral("id"), openSign);
    Emit(event);
}

std::optional<QJsonObject> CliEvents::Parse(QByteArrayView line) {
    if (!line.startsWith(Prefix))
        return std::nullopt;
    QJsonParseError error{};
    const QJsonDocument document =
        QJsonDocument::fromJson(line.sliced(qstrlen(Prefix)).toByteArray(), &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return std::nullopt;
    return document.object();
}

} // namespace vexa
