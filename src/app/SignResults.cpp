#include "app/SignResults.h"

#include "app/TransferRunner.h"
#include "store/LanguageTexts.h"

#include <QStringList>

namespace vexa {

QString SignResults::Line(const Result& result) {
    return QStringLiteral("ID %1: %2").arg(result.id).arg(TransferRunner::ResultText(result.result));
}

QString SignResults::Summary(const QList<Result>& results, const LanguageTexts* texts) {
    using Text = LanguageTexts::Text;
    const LanguageTexts english;
    const LanguageTexts& language = texts ? *texts : english;
    QStringList sent;
    QStringList failed;
    for (const Result& r : results) {
        if (r.result == SignLink::ResultOk)
            sent << QString::number(r.id);
        else
            failed << QStringLiteral("%1 (%2)").arg(r.id).arg(language.ResultText(r.result));
    }
    QStringList parts;
    if (!sent.isEmpty())
        parts << language.Get(Text::ResultsSent).arg(sent.join(QStringLiteral(", ")));
    if (!failed.isEmpty())
        parts << language.Get(Text::ResultsFailed).arg(failed.join(QStringLiteral(", ")));
    return parts.join(QLatin1Char(' '));
}

} // namespace vexa
