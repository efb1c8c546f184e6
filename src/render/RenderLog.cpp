#include "render/RenderLog.h"

Q_LOGGING_CATEGORY(lcRender, "vexa.render", QtWarningMsg)

namespace vexa {

namespace {

QtMessageHandler passOn = nullptr;

// Qt writes its note on a face without the script's OpenType tables uncategorised, so no
// logging rule reaches it alone: that one message is dropped here, everything else passes.
void DropShapingNotes(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type == QtWarningMsg && qstrcmp(context.category, "default") == 0 &&
        message.trimmed().startsWith(QLatin1String("OpenType support missing for")))
        return;
    if (passOn)
        passOn(type, context, message);
}

} // namespace

void SilenceFontShapingMessages() {
    QLoggingCategory::setFilterRules(
        QStringLiteral("qt.qpa.fonts.warning=false\nqt.text.font.*.warning=false"));
    if (!qEnvironmentVariableIsSet("QT_LOGGING_RULES"))
        passOn = qInstallMessageHandler(DropShapingNotes);
}

} // namespace vexa
