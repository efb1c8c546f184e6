#include "cli/RowWarnings.h"

#include "render/RowCheck.h"

#include <QJsonObject>
#include <cstdio>

namespace vexa {

QCommandLineOption RowWarnings::StrictOption() {
    return QCommandLineOption(QStringLiteral("strict"),
                              QStringLiteral("Treat every warning about a row the sign receives (a row that "
                                             "will not look as previewed) as an error: exit status 6, "
                                             "nothing written or sent."));
}

void RowWarnings::Print(const QStringList& lines) {
    for (const QString& line : lines) {
        std::fputs(("warning: " + line).toUtf8().constData(), stderr);
        std::fputc('\n', stderr);
    }
}

void RowWarnings::Print(const QList<SendPreparation::RowWarning>& warnings) {
    Print(SendPreparation::WarningLines(warnings));
}

QJsonArray RowWarnings::Json(const RowFindings& findings) {
    QJsonArray list;
    for (const RowFinding& finding : findings)
        list.append(QJsonObject{{QStringLiteral("kind"), RowCheck::KindName(finding.kind)},
                                {QStringLiteral("message"), RowCheck::Describe(finding, nullptr)},
                                {QStringLiteral("subjects"), QJsonArray::fromStringList(finding.subjects)}});
    return list;
}

} // namespace vexa
