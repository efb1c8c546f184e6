#pragma once

#include <QString>

class QWidget;

namespace vexa {

// Tells the operator that a command exists but its feature is not part of this build.
class UnavailableFeature {
public:
    static QString Text(const QString& feature);
    static void Tell(QWidget* parent, const QString& feature);
};

} // namespace vexa
