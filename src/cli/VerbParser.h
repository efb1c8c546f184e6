#pragma once

#include <QCommandLineParser>
#include <QString>
#include <QStringList>
#include <optional>

namespace vexa {

// QCommandLineParser for one verb: adds --help, parses, prints usage errors to stderr.
class VerbParser : public QCommandLineParser {
public:
    VerbParser(const QString& verb, const QString& description, const QString& positionalSyntax = QString());

    // Parses args (args[0] is the verb). Returns an exit status when the verb must end now
    // (help shown: 0, usage error: 2); nothing when the verb goes on.
    std::optional<int> Parse(const QStringList& args, int positionalCount);

    // Integer option value; sets error text when the value is not a whole number.
    std::optional<int> IntValue(const QString& option, QString* error) const;

    QString HelpText() const;

private:
    QString verb;
    QString positionalSyntax;
};

} // namespace vexa
