#include "cli/NewCommand.h"

#include "app/WorkFiles.h"
#include "cli/CliContext.h"
#include "cli/VerbParser.h"
#include "core/ModelCatalogue.h"

namespace vexa {

int NewCommand::Run(CliContext&, const QStringList& args) {
    VerbParser parser(QStringLiteral("new"),
                      QStringLiteral("Write the message-file template of a model to FILE (a byte copy)."),
                      QStringLiteral("FILE"));
    const QCommandLineOption model(QStringLiteral("model"), QStringLiteral("Display model, P01 to P36."),
                                   QStringLiteral("M"));
    parser.addOption(model);
    if (auto exit = parser.Parse(args, 1))
        return *exit;
    if (!parser.isSet(model)) {
        CliContext::PrintError(QStringLiteral("new: --model is required"));
        return CliContext::UsageError;
    }
    const DisplayModel* m = ModelCatalogue::Find(parser.value(model));
    if (!m) {
        CliContext::PrintError(
            QStringLiteral("new: unknown model '%1' (P01 to P36)").arg(parser.value(model)));
        return CliContext::UsageError;
    }
    const QString path = parser.positionalArguments().front();
    if (!WorkFiles::WriteTemplate(m->templateId, path)) {
        CliContext::PrintError(QStringLiteral("new: cannot write %1").arg(path));
        return CliContext::Failure;
    }
    return 0;
}

} // namespace vexa
