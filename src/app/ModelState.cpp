#include "app/ModelState.h"

namespace vexa {

bool ModelState::ApplyModel(const QString& name) {
    const DisplayModel* found = ModelCatalogue::Find(name);
    if (!found)
        return false;
    model = found;
    rows = found->rows;
    slotCount = found->slotCount;
    family = found->FamilyCode();
    hasClock = found->hasClock;
    effectListSet = found->effectListSet;
    is485Model = found->is485Model;
    if (found->hasPageGeometry) {
        pageWidth = found->pageWidth;
        pagePitch = found->pagePitch;
    } else {
        pageWidth = 0; // not paged; the pitch keeps its previous value
    }
    return true;
}

} // namespace vexa
