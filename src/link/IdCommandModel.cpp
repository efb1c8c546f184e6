#include "link/IdCommandModel.h"

#include "link/SignLink.h"

namespace vexa {

int IdCommandModel::ParseId(const QString& text) {
    bool ok = false;
    const int id = text.trimmed().toInt(&ok);
    return ok ? id : 0;
}

QString IdCommandModel::CheckSet(int current, int next) {
    if (current < 1 || current > ListCount || next < 1 || next > ListCount)
        return QStringLiteral("ID >=1 and ID <= 256!");
    // The frame carries the ID in one byte: 256 would reach the sign as 0.
    if (current == ListCount || next == ListCount)
        return QStringLiteral("Sign IDs go from 1 to 255: ID 256 cannot be used.");
    return {};
}

void IdCommandModel::StartRead() {
    link.ReadId();
}

IdCommandModel::ReadOutcome IdCommandModel::FinishRead() {
    link.ClosePort();
    const bool ok = link.readIdDone.load() != 0;
    return {ok, ok ? link.currentId.load() : 0};
}

void IdCommandModel::StartSet(int current, int next) {
    link.SetId(current, next);
}

bool IdCommandModel::FinishSet() {
    link.ClosePort();
    return link.setIdDone.load() != 0;
}

} // namespace vexa
