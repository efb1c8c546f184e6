#pragma once

#include "store/AtomicFile.h"

#include <QByteArray>
#include <QString>

namespace vexa {

// The program's own files carried as Qt resources (message-file templates, language files).
class ResourceFiles {
public:
    // Resource path of a resource by type and number: ":/FILES/177".
    static QString ResourcePath(const QString& type, int number);
    // Bytes of a resource; empty when it does not exist.
    static QByteArray Read(const QString& type, int number);
    // Writes the resource's bytes to path (atomically). True only when the resource exists
    // with a non-zero size and all its bytes were written; else errorText (when given) says why.
    static bool WriteResourceFile(const QString& type, int number, const QString& path,
                                  AtomicFile::Durability durability = AtomicFile::Durability::Synced,
                                  QString* errorText = nullptr);
};

} // namespace vexa
