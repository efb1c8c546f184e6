#include "cli/RenderInputs.h"

#include "cli/CliContext.h"
#include "cli/VerbParser.h"
#include "core/ModelCatalogue.h"

#include <QFileInfo>

namespace vexa {

QCommandLineOption RenderInputs::ModelOption() {
    return QCommandLineOption(QStringLiteral("model"),
                              QStringLiteral("Display model, P01 to P36 (default: the model in System.set)."),
                              QStringLiteral("M"));
}

std::optional<int> RenderInputs::Load(const QString& verb, CliContext& context, const VerbParser& parser,
                                      const DisplayModel** model) {
    CVexaApp& app = context.App();
    const QString name =
        parser.isSet(QStringLiteral("model")) ? parser.value(QStringLiteral("model")) : app.ModelName();
    *model = ModelCatalogue::Find(name);
    if (!*model) {
        CliContext::PrintError(QStringLiteral("%1: unknown model '%2' (P01 to P36)").arg(verb, name));
        return CliContext::UsageError;
    }
    const QString path = parser.positionalArguments().front();
    if (!app.messageTable.OpenMessageFile(path)) {
        CliContext::PrintError(
            QStringLiteral("%1: cannot read message file %2").arg(verb, app.messageTable.LoadError()));
        return CliContext::Failure;
    }
    app.OpenGlyphLibrary();
    return std::nullopt;
}

QString RenderInputs::KindName(int kind) {
    static const char* const names[] = {"empty", "text", "image", "date"};
    return kind >= 0 && kind <= 3 ? QString::fromLatin1(names[kind]) : QString::number(kind);
}

} // namespace vexa
