#include "app/SignResults.h"

#include "app/TransferRunner.h"
#include "store/LanguageTexts.h"

#include <QStringList>

namespace vexa {

QString SignResults::Line(const Result& result) {
    return QStringLiteral("ID %1: %2").arg(result.id).arg(TransferRunner::ResultText(result.result));
}

QString SignResults::Summary(const QList<Result>& results, const LanguageTexts* texts, int groupOperation) {
    using Text = LanguageTexts::Text;
    Text done = Text::ResultsSent;
    if (groupOperation == SignLink::GroupPowerOn)
        done = Text::ResultsPowerOn;
    else if (groupOperation == SignLink::GroupPowerOff)
        done = Text::ResultsPowerOff;
    else if (groupOperation == SignLink::GroupSendMessages)
        done = Text::ResultsGroupSent;
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
    // A group operation always says what it was, even when no sign took it.
    if (!sent.isEmpty() || groupOperation != NoGroup)
        parts << language.Get(done).arg(sent.isEmpty() ? QStringLiteral("\u2013")
                                                       : sent.join(QStringLiteral(", ")));
    if (!failed.isEmpty())
        parts << language.Get(Text::ResultsFailed).arg(failed.join(QStringLiteral(", ")));
    return parts.join(QLatin1Char(' '));
}

} // namespace vexa
