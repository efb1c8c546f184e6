#include "app/FleetLineChoice.h"

#include "core/ModelCatalogue.h"

#include <QFileInfo>

namespace vexa {

bool FleetLineChoice::Load(const QString& path) {
    rows.clear();
    FleetFile fleet;
    if (!fleet.Load(path)) {
        error = fleet.Error();
        return false;
    }
    error.clear();
    for (const FleetLine& line : fleet.Lines()) {
        Row row{line};
        if (line.dataDir.isEmpty() || !QFileInfo(line.dataDir).isDir())
            row.problem = LanguageTexts::Text::FleetFolderMissing;
        else if (!ModelCatalogue::Find(line.model))
            row.problem = LanguageTexts::Text::FleetModelUnknown;
        rows.append(row);
    }
    return true;
}

int FleetLineChoice::FirstOpenable() const {
    for (qsizetype i = 0; i < rows.size(); ++i) {
        if (rows[i].CanOpen())
            return static_cast<int>(i);
    }
    return -1;
}

} // namespace vexa
