#include "app/ModelState.h"

namespace vexa {

bool ModelState::ApplyModel(const QString& name) {
    const DisplayModel* found = ModelCatalogue::Find(name);
    if (!found)
        return false;
    model = found;
    SetFrom(*found);
    return true;
}

} // namespace vexa
