#include "core/ModelParams.h"

#include "core/ModelCatalogue.h"

namespace vexa {

void ModelParams::SetFrom(const DisplayModel& model) {
    rows = model.rows;
    slotCount = model.slotCount;
    family = model.FamilyCode();
    hasClock = model.hasClock;
    effectListSet = model.effectListSet;
    is485Model = model.is485Model;
    if (model.hasPageGeometry) {
        pageWidth = model.pageWidth;
        pagePitch = model.pagePitch;
    } else {
        pageWidth = 0;
    }
    exportHeight = model.exportHeight;
    packKind = model.packKind;
}

} // namespace vexa
