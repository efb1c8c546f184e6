#include "cli/ModelsCommand.h"

#include "cli/CliContext.h"
#include "cli/VerbParser.h"
#include "core/ModelCatalogue.h"

#include <QJsonArray>
#include <QJsonObject>

namespace vexa {

namespace {

QString PackName(PackKind kind) {
    switch (kind) {
    case PackKind::OneBit:
        return QStringLiteral("1bit");
    case PackKind::ColourPlanes:
        return QStringLiteral("planes");
    case PackKind::TwoBitPages:
        return QStringLiteral("2bit");
    case PackKind::CharacterCodes:
        return QStringLiteral("chars");
    }
    return {};
}

QJsonObject ToJson(const DisplayModel& m) {
    QJsonObject o;
    o[QStringLiteral("position")] = m.position;
    o[QStringLiteral("name")] = QString::fromLatin1(m.name);
    o[QStringLiteral("group")] = m.group;
    o[QStringLiteral("rows")] = m.rows;
    o[QStringLiteral("slotCount")] = m.slotCount;
    o[QStringLiteral("family")] = m.FamilyCode();
    o[QStringLiteral("hasClock")] = m.hasClock ? 1 : 0;
    o[QStringLiteral("effectListSet")] = m.effectListSet;
    o[QStringLiteral("is485Model")] = m.is485Model ? 1 : 0;
    o[QStringLiteral("pageWidth")] = m.pageWidth;
    o[QStringLiteral("pagePitch")] = m.hasPageGeometry ? QJsonValue(m.pagePitch) : QJsonValue();
    o[QStringLiteral("port")] = QString::fromLatin1(m.portSettings);
    o[QStringLiteral("template")] = m.templateId;
    o[QStringLiteral("textEditor")] =
        m.textEditor == TextEditorKind::Rich ? QStringLiteral("A") : QStringLiteral("B");
    o[QStringLiteral("timeBoxes")] = m.timeBoxesUsable;
    o[QStringLiteral("exportHeight")] = m.exportHeight;
    o[QStringLiteral("dataLimit")] = m.dataLimit ? ModelCatalogue::DataLimitBytes : 0;
    o[QStringLiteral("packing")] = PackName(m.packKind);
    o[QStringLiteral("pageColumns")] = m.pageColumns;
    o[QStringLiteral("effects")] = QJsonArray::fromStringList(ModelCatalogue::EffectNames(m.effectListSet));
    return o;
}

} // namespace

int ModelsCommand::Run(CliContext&, const QStringList& args) {
    VerbParser parser(QStringLiteral("models"),
                      QStringLiteral("List the display models in model-list order."));
    const QCommandLineOption json(QStringLiteral("json"), QStringLiteral("Print JSON."));
    parser.addOption(json);
    if (auto exit = parser.Parse(args, 0))
        return *exit;

    if (parser.isSet(json)) {
        QJsonArray models;
        for (const DisplayModel& m : ModelCatalogue::All())
            models.append(ToJson(m));
        CliContext::PrintJson(QJsonDocument(QJsonObject{{QStringLiteral("models"), models}}));
        return 0;
    }
    CliContext::PrintLine(QStringLiteral(
        "Model Group Rows Slots Family Clock Effects 485 Page     Port         Template Editor Time"));
    for (const DisplayModel& m : ModelCatalogue::All()) {
        const QString page = m.hasPageGeometry ? QStringLiteral("%1/%2").arg(m.pageWidth).arg(m.pagePitch)
                                               : QStringLiteral("-");
        CliContext::PrintLine(
            QStringLiteral("%1   %2     %3   %4    %5      %6     %7       %8   %9 %10 %11      %12      %13")
                .arg(QString::fromLatin1(m.name))
                .arg(m.group)
                .arg(m.rows, 2)
                .arg(m.slotCount, 2)
                .arg(m.FamilyCode())
                .arg(m.hasClock ? 1 : 0)
                .arg(QChar(u'A' + m.effectListSet))
                .arg(m.is485Model ? 1 : 0)
                .arg(page, -8)
                .arg(QString::fromLatin1(m.portSettings), -12)
                .arg(m.templateId)
                .arg(m.textEditor == TextEditorKind::Rich ? QStringLiteral("A") : QStringLiteral("B"))
                .arg(m.timeBoxesUsable ? QStringLiteral("yes") : QStringLiteral("no")));
    }
    return 0;
}

} // namespace vexa
