#pragma once

#include "core/ModelCatalogue.h"
#include "core/ModelParams.h"

#include <QString>

namespace vexa {

// The model members the main window and the previews follow: the same values the link
// engine takes from the catalogue, with the engine's initial values until a known model
// is applied. An unknown name changes nothing, so the previous model stays in force.
class ModelState : public ModelParams {
public:
    // Copies the catalogue row of name; false (nothing changed) for an unknown name.
    bool ApplyModel(const QString& name);

    // The catalogue row last applied, or nullptr while none was.
    const DisplayModel* Model() const { return model; }
    // Export height of the row previews: 12 for the 7-row models that send 12 lines, else 0.
    int PreviewExportHeight() const { return exportHeight; }
    // How many of the ten rows the window shows (8, 9 or 10).
    int VisibleRowCount() const { return ModelCatalogue::VisibleRows(slotCount); }
    bool RowVisible(int row) const { return row < VisibleRowCount(); }

private:
    const DisplayModel* model = nullptr;
};

} // namespace vexa
