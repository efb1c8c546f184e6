#include "cli/CliContext.h"
#include "cli/CommandRegistry.h"
#include "render/RenderLog.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

using namespace vexa;

namespace {

// Takes the global options (anywhere on the line) out of args.
bool TakeGlobalOptions(QStringList& args, CliContext& context) {
    for (qsizetype i = 0; i < args.size();) {
        const QString arg = args[i];
        QString* target = nullptr;
        QString value;
        if (arg == QLatin1String("--data-dir") || arg == QLatin1String("--codepage")) {
            if (i + 1 >= args.size()) {
                CliContext::PrintError(arg + QStringLiteral(" needs a value"));
                return false;
            }
            value = args[i + 1];
            args.remove(i, 2);
        } else if (arg.startsWith(QLatin1String("--data-dir=")) ||
                   arg.startsWith(QLatin1String("--codepage="))) {
            value = arg.section(u'=', 1);
            args.remove(i);
        } else {
            ++i;
            continue;
        }
        if (arg.startsWith(QLatin1String("--data-dir"))) {
            target = &context.dataDir;
            *target = value;
        } else {
            bool ok = false;
            context.codePage = value.toInt(&ok);
            if (!ok || context.codePage <= 0 || !LegacyCodePage(context.codePage).IsSupported()) {
                CliContext::PrintError(QStringLiteral("unknown code page: ") + value);
                return false;
            }
        }
    }
    return true;
}

// The verb of the command line, past the global options; "" when there is none.
QByteArray VerbOf(int argc, char* argv[]) {
    for (int i = 1; i < argc; ++i) {
        const QByteArray arg(argv[i]);
        if (arg == "--data-dir" || arg == "--codepage")
            ++i;
        else if (!arg.startsWith("--data-dir=") && !arg.startsWith("--codepage="))
            return arg;
    }
    return {};
}

// A fleet only runs and watches one child vexa per line, which does the rendering: the
// parent needs no fonts or platform plugin, and its memory counts once beside every child's.
std::unique_ptr<QCoreApplication> MakeApplication(int& argc, char* argv[]) {
    if (VerbOf(argc, argv) == "fleet")
        return std::make_unique<QCoreApplication>(argc, argv);
    return std::make_unique<QGuiApplication>(argc, argv);
}

} // namespace

int main(int argc, char* argv[]) {
    // Rendering needs fonts and images but no display.
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? QByteArray("offscreen") : qgetenv("QT_QPA_PLATFORM"));
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        const QByteArray runtime = "/tmp/vexa-runtime-" + QByteArray::number(getuid());
        mkdir(runtime.constData(), 0700);
        qputenv("XDG_RUNTIME_DIR", runtime);
    }
    const std::unique_ptr<QCoreApplication> application = MakeApplication(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("vexa"));
    SilenceFontShapingMessages();

    QStringList args = QCoreApplication::arguments().mid(1);
    CliContext context;
    if (!TakeGlobalOptions(args, context))
        return CliContext::UsageError;
    if (!args.isEmpty() && args.front() == QLatin1String("--version")) {
        CliContext::PrintLine(QStringLiteral("vexa " VEXA_VERSION));
        return 0;
    }
    if (args.isEmpty() || args.front() == QLatin1String("--help") || args.front() == QLatin1String("-h") ||
        args.front() == QLatin1String("help")) {
        CliContext::PrintLine(CommandRegistry::Usage());
        return args.isEmpty() ? CliContext::UsageError : 0;
    }
    const CommandRegistry::Command* command = CommandRegistry::Find(args.front());
    if (!command) {
        CliContext::PrintError(QStringLiteral("unknown command '%1'\n").arg(args.front()) +
                               CommandRegistry::Usage());
        return CliContext::UsageError;
    }
    return command->run(context, args);
}
