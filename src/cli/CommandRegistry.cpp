#include "cli/CommandRegistry.h"

#include "cli/InfoCommand.h"
#include "cli/ModelsCommand.h"
#include "cli/NewCommand.h"
#include "cli/PackCommand.h"
#include "cli/RenderCommand.h"
#include "cli/SetCommand.h"

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
    };
    return commands;
}

} // namespace

std::span<const CommandRegistry::Command> CommandRegistry::All() { return Commands(); }

const CommandRegistry::Command* CommandRegistry::Find(const QString& name) {
    for (const Command& c : Commands()) {
        if (name == QLatin1String(c.name))
            return &c;
    }
    return nullptr;
}

QString CommandRegistry::Usage() {
    QString text = QStringLiteral(
        "Usage: vexa [--data-dir DIR] [--codepage N] <command> [options]\n\n"
        "Vexa Message Editor on the command line: inspect, compose, render and send\n"
        "message files for LED dot-matrix signs.\n\nCommands:\n");
    for (const Command& c : Commands())
        text += QStringLiteral("  %1%2\n").arg(QString::fromLatin1(c.name), -12).arg(QString::fromLatin1(c.summary));
    text += QStringLiteral("\nRun 'vexa <command> --help' for the options of a command.");
    return text;
}

} // namespace vexa
