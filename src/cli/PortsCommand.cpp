#include "cli/PortsCommand.h"

#include "app/CVexaApp.h"
#include "cli/CliContext.h"
#include "cli/VerbParser.h"
#include "core/ModelCatalogue.h"
#include "link/PortCheck.h"
#include "link/SerialPortList.h"
#include "store/LanguageTexts.h"

#include <QJsonArray>
#include <QJsonObject>

namespace vexa {

namespace {

// The settings string the check opens with: the model's, else that of the settings' model,
// else the fastest rate any model uses.
QString CheckSettings(CliContext& context, const QString& modelName) {
    const QString name = modelName.isEmpty() ? context.App().ModelName() : modelName;
    if (const DisplayModel* model = ModelCatalogue::Find(name))
        return QString::fromLatin1(model->portSettings);
    return QStringLiteral("19200,n,8,1");
}

int CheckPorts(CliContext& context, const QStringList& names, const QString& modelName, bool json) {
    if (names.isEmpty()) {
        CliContext::PrintError(LanguageTexts::Say(nullptr, LanguageTexts::Text::PortsNonePresent));
        return CliContext::Failure;
    }
    const QString settings = CheckSettings(context, modelName);
    QJsonArray results;
    int status = 0;
    for (const QString& name : names) {
        const PortCheck::Finding finding = PortCheck::Check(name, settings);
        if (!finding.Ok())
            status = CliContext::Failure;
        if (json) {
            results.append(QJsonObject{{QStringLiteral("port"), name},
                                       {QStringLiteral("case"), finding.CaseName()},
                                       {QStringLiteral("opens"), finding.Ok()},
                                       {QStringLiteral("reason"), finding.reason},
                                       {QStringLiteral("lines"), QJsonArray::fromStringList(finding.lines)},
                                       {QStringLiteral("fixes"), QJsonArray::fromStringList(finding.fixes)}});
            continue;
        }
        QString text = name + QStringLiteral(": ") + finding.CaseName();
        for (const QString& line : finding.Text().split(u'\n'))
            text += QStringLiteral("\n  ") + line;
        if (finding.Ok())
            CliContext::PrintLine(text);
        else
            CliContext::PrintError(text);
    }
    if (json)
        CliContext::PrintJson(QJsonDocument(results));
    return status;
}

} // namespace

int PortsCommand::Run(CliContext& context, const QStringList& args) {
    VerbParser parser(
        QStringLiteral("ports"),
        QStringLiteral("List the serial ports present, in the system's order. Pseudo-terminals are not "
                       "listed; give them to --port as a path. With --check, open each port (or the one "
                       "given) and say why it cannot be used and how to fix that: no such device, permission "
                       "denied, in use by another program, ModemManager, and for device servers a name that "
                       "does not resolve, a refused or silent connection, a baud rate refused. Exit status "
                       "with --check: 0 every port opens, 1 otherwise."),
        QStringLiteral("[PORT]"));
    const QCommandLineOption json(QStringLiteral("json"), QStringLiteral("Print JSON."));
    const QCommandLineOption check(QStringLiteral("check"),
                                   QStringLiteral("Open the port(s) and explain what stands in the way."));
    const QCommandLineOption model(QStringLiteral("model"),
                                   QStringLiteral("With --check: open at this model's settings (default: the "
                                                  "settings' model)."),
                                   QStringLiteral("M"));
    parser.addOption(json);
    parser.addOption(check);
    parser.addOption(model);
    if (auto exit = parser.Parse(args, -1))
        return *exit;
    const QStringList given = parser.positionalArguments();
    if (given.size() > 1 || (!given.isEmpty() && !parser.isSet(check))) {
        CliContext::PrintError(QStringLiteral("ports: a PORT is checked with --check, one at a time\n") +
                               parser.HelpText());
        return CliContext::UsageError;
    }
    if (parser.isSet(model) && !ModelCatalogue::Find(parser.value(model))) {
        CliContext::PrintError(QStringLiteral("ports: unknown model '%1'").arg(parser.value(model)));
        return CliContext::UsageError;
    }
    const QList<SerialPortList::Port> ports = SerialPortList::ListSerialPorts();
    if (parser.isSet(check))
        return CheckPorts(context, given.isEmpty() ? SerialPortList::Names(ports) : given,
                          parser.value(model), parser.isSet(json));
    if (parser.isSet(json)) {
        QJsonArray list;
        for (const SerialPortList::Port& p : ports)
            list.append(QJsonObject{{QStringLiteral("name"), p.name},
                                    {QStringLiteral("description"), p.description},
                                    {QStringLiteral("device"), p.device}});
        CliContext::PrintJson(QJsonDocument(list));
        return 0;
    }
    for (const SerialPortList::Port& p : ports)
        CliContext::PrintLine(p.description.isEmpty() ? p.name : p.name + u'\t' + p.description);
    return 0;
}

} // namespace vexa
