#include "cli/CommandRegistry.h"

#include "cli/ClockCommand.h"
#include "cli/FleetCommand.h"
#include "cli/GroupSendCommand.h"
#include "cli/InfoCommand.h"
#include "cli/ModelsCommand.h"
#include "cli/NewCommand.h"
#include "cli/PackCommand.h"
#include "cli/PictureCommand.h"
#include "cli/PortsCommand.h"
#include "cli/PowerCommand.h"
#include "cli/ReadIdCommand.h"
#include "cli/RenderCommand.h"
#include "cli/ScanCommand.h"
#include "cli/SendCommand.h"
#include "cli/SetCommand.h"
#include "cli/SetIdCommand.h"

#include <vector>

namespace vexa {

namespace {

const std::vector<CommandRegistry::Command>& Commands() {
    static const std::vector<CommandRegistry::Command> commands = {
        {"models", "list the 36 display models and their attributes", ModelsCommand::Run},
        {"new", "write a model's message-file template to a file", NewCommand::Run},
        {"info", "show the ten rows of a message file", InfoCommand::Run},
        {"set", "change one row of a message file", SetCommand::Run},
        {"render", "export the message bitmaps of a message file (and a preview PNG)", RenderCommand::Run},
        {"pack", "print the bytes a send prepares for a message file", PackCommand::Run},
        {"picture", "prepare a picture for a model's signs (scaled, in the sign's colours) as PNG",
         PictureCommand::Run},
        {"ports", "list the serial ports present", PortsCommand::Run},
        {"send", "send a message file to a sign (or every ticked sign with --485)", SendCommand::Run},
        {"clock", "set a sign's clock to the local time", ClockCommand::Run},
        {"scan", "search the line for answering signs", ScanCommand::Run},
        {"read-id", "read the ID of the sign on the line", ReadIdCommand::Run},
        {"set-id", "give a sign a new ID", SetIdCommand::Run},
        {"power", "switch signs on or off", PowerCommand::Run},
        {"group-send", "send a message file to several addressed signs", GroupSendCommand::Run},
        {"fleet", "check a fleet file, or send, set clocks, power or scan all its lines at once",
         FleetCommand::Run},
    };
    return commands;
}

} // namespace

std::span<const CommandRegistry::Command> CommandRegistry::All() {
    return Commands();
}

const CommandRegistry::Command* CommandRegistry::Find(const QString& name) {
    for (const Command& c : Commands()) {
        if (name == QLatin1String(c.name))
            return &c;
    }
    return nullptr;
}

QString CommandRegistry::Usage() {
    QString text =
        QStringLiteral("Usage: vexa [--data-dir DIR] [--codepage N] <command> [options]\n\n"
                       "Vexa Message Editor on the command line: inspect, compose, render and send\n"
                       "message files for LED dot-matrix signs.\n\nCommands:\n");
    for (const Command& c : Commands())
        text += QStringLiteral("  %1%2\n")
                    .arg(QString::fromLatin1(c.name), -12)
                    .arg(QString::fromLatin1(c.summary));
    text += QStringLiteral("\nRun 'vexa <command> --help' for the options of a command, 'vexa --version' for "
                           "the version.");
    return text;
}

} // namespace vexa
