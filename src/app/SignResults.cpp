#include "app/SignResults.h"

#include "app/TransferRunner.h"

#include <QStringList>

namespace vexa {

QString SignResults::Line(const Result& result) {
    return QStringLiteral("ID %1: %2").arg(result.id).arg(TransferRunner::ResultText(result.result));
}

QString SignResults::Summary(const QList<Result>& results) {
    QStringList sent;
    QStringList failed;
    for (const Result& r : results) {
        if (r.result == SignLink::ResultOk)
            sent << QString::number(r.id);
        else
            failed << QStringLiteral("%1 (%2)").arg(r.id).arg(TransferRunner::ResultText(r.result));
    }
    QStringList parts;
    if (!sent.isEmpty())
        parts << QStringLiteral("Sent: ") + sent.join(QStringLiteral(", ")) + QLatin1Char('.');
    if (!failed.isEmpty())
        parts << QStringLiteral("Failed: ") + failed.join(QStringLiteral(", ")) + QLatin1Char('.');
    return parts.join(QLatin1Char(' '));
}

} // namespace vexa
