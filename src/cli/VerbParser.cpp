#include "cli/VerbParser.h"

#include "cli/CliContext.h"

namespace vexa {

VerbParser::VerbParser(const QString& verbName, const QString& description, const QString& positional)
    : verb(verbName), positionalSyntax(positional) {
    setApplicationDescription(description);
    addHelpOption();
    setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
}

QString VerbParser::HelpText() const {
    QString text = helpText();
    // QCommandLineParser names the program; show the verb the way it is typed.
    const qsizetype end = text.indexOf(u'\n');
    QString usage = QStringLiteral("Usage: vexa %1 [options]").arg(verb);
    if (!positionalSyntax.isEmpty())
        usage += u' ' + positionalSyntax;
    return usage + text.mid(end);
}

std::optional<int> VerbParser::Parse(const QStringList& args, int positionalCount) {
    if (!parse(args)) {
        CliContext::PrintError(verb + QStringLiteral(": ") + errorText());
        return CliContext::UsageError;
    }
    if (isSet(QStringLiteral("help"))) {
        CliContext::PrintLine(HelpText());
        return 0;
    }
    if (positionalCount >= 0 && positionalArguments().size() != positionalCount) {
        CliContext::PrintError(QStringLiteral("%1: expected %2\n").arg(verb, positionalSyntax) + HelpText());
        return CliContext::UsageError;
    }
    return std::nullopt;
}

std::optional<int> VerbParser::IntValue(const QString& option, QString* error) const {
    if (!isSet(option))
        return std::nullopt;
    bool ok = false;
    const int value = this->value(option).toInt(&ok);
    if (!ok) {
        *error = QStringLiteral("--%1 takes a whole number, not '%2'").arg(option, this->value(option));
        return std::nullopt;
    }
    return value;
}

} // namespace vexa
