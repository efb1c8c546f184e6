#pragma once

// What several tests of sends share: a two-colour message and the payload the editor
// prepares for a message file.

#include "core/ModelCatalogue.h"
#include "render/GlyphLibrary.h"
#include "render/SendPreparation.h"
#include "store/AppPaths.h"
#include "store/CMessageTable.h"

#include <QString>

namespace vexa::test {

// Red "AB" and green "C" in a 12-point face: lit dots in both colour planes.
inline const QString kRichText = QStringLiteral(
    "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}{\\colortbl;\\red255\\green0\\blue0;\\red0\\green255\\blue0;}"
    "\\f0\\cf1\\fs24 AB\\cf2 C\\par}");

// The payload the editor prepares for a message file.
inline Payload Prepared(const QString& model, const QString& file, const QString& dataDir) {
    CMessageTable table;
    table.OpenMessageFile(file);
    GlyphLibrary library;
    Payload payload;
    SendPreparation::PrepareMessageFile(*ModelCatalogue::Find(model), table, library,
                                        AppPaths(dataDir, dataDir), payload);
    return payload;
}

} // namespace vexa::test
