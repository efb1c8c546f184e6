#include "app/ui/UnavailableFeature.h"

#include <QMessageBox>

namespace vexa {

QString UnavailableFeature::Text(const QString& feature) {
    return QStringLiteral("%1 is not available in this build yet.").arg(feature);
}

void UnavailableFeature::Tell(QWidget* parent, const QString& feature) {
    QMessageBox::information(parent, QStringLiteral("Information"), Text(feature));
}

} // namespace vexa
