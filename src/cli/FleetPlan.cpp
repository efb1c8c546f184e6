#include "cli/FleetPlan.h"

#include "app/FleetCheck.h"
#include "store/CIdList.h"

namespace vexa {

namespace {

QString IdList(const QList<int>& ids) {
    QStringList texts;
    for (const int id : ids)
        texts << QString::number(id);
    return texts.join(u',');
}

} // namespace

QString FleetPlan::Name(Operation operation) {
    switch (operation) {
    case Operation::Send:
        return QStringLiteral("send");
    case Operation::Clock:
        return QStringLiteral("clock");
    case Operation::PowerOn:
        return QStringLiteral("power on");
    case Operation::PowerOff:
        return QStringLiteral("power off");
    case Operation::Scan:
        return QStringLiteral("scan");
    }
    return {};
}

FleetPlan FleetPlan::For(const FleetLine& line, Operation operation, const Options& options) {
    FleetPlan plan;
    const FleetLineSigns signs = FleetLineSigns::Read(line, options.codePage);
    const auto addSigns = [&](const QList<int>& ids) {
        for (const int id : ids)
            plan.signs.append({id, signs.Name(id)});
    };
    plan.names = signs.names;
    plan.arguments << QStringLiteral("--data-dir") << line.dataDir;
    if (options.codePage > 0)
        plan.arguments << QStringLiteral("--codepage") << QString::number(options.codePage);
    switch (operation) {
    case Operation::Send:
        plan.arguments << QStringLiteral("send");
        if (signs.mode485 != 0) {
            plan.arguments << QStringLiteral("--485");
            addSigns(signs.ticked);
        } else {
            // One sign on the line: the selected sign's messages, as the editor's Send does.
            plan.arguments << signs.WorkFile(line, signs.selected);
            if (signs.selected >= 1 && signs.selected <= CIdList::MaxId)
                plan.arguments << QStringLiteral("--id") << QString::number(signs.selected);
            plan.signs.append({signs.selected, signs.Name(signs.selected)});
        }
        if (options.yes)
            plan.arguments << QStringLiteral("--yes");
        break;
    case Operation::Clock:
        plan.arguments << QStringLiteral("clock");
        plan.signs.append({0, QStringLiteral("all signs"), true});
        break;
    case Operation::PowerOn:
    case Operation::PowerOff:
        plan.arguments << QStringLiteral("power")
                       << (operation == Operation::PowerOn ? QStringLiteral("on") : QStringLiteral("off"));
        if (signs.groupTicked.isEmpty())
            plan.problem = QStringLiteral("no sign of the line's group is ticked in its sign list");
        else
            plan.arguments << QStringLiteral("--ids") << IdList(signs.groupTicked);
        addSigns(signs.groupTicked);
        break;
    case Operation::Scan:
        plan.arguments << QStringLiteral("scan") << QStringLiteral("--json");
        if (options.save)
            plan.arguments << QStringLiteral("--save");
        addSigns(signs.ticked);
        break;
    }
    plan.arguments << QStringLiteral("--model") << line.model << QStringLiteral("--port") << line.port;
    if (options.dryRun)
        plan.arguments << QStringLiteral("--dry-run");
    return plan;
}

} // namespace vexa
