#include "cli/PortsCommand.h"

#include "cli/CliContext.h"
#include "cli/VerbParser.h"
#include "link/SerialPortList.h"

#include <QJsonArray>
#include <QJsonObject>

namespace vexa {

int PortsCommand::Run(CliContext&, const QStringList& args) {
    VerbParser parser(
        QStringLiteral("ports"),
        QStringLiteral("List the serial ports present, in the system's order. Pseudo-terminals are not "
                       "listed; give them to --port as a path."));
    const QCommandLineOption json(QStringLiteral("json"), QStringLiteral("Print JSON."));
    parser.addOption(json);
    if (auto exit = parser.Parse(args, 0))
        return *exit;
    const QList<SerialPortList::Port> ports = SerialPortList::ListSerialPorts();
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
