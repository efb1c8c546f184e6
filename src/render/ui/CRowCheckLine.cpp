#include "render/ui/CRowCheckLine.h"

#include "render/ui/CImageWnd.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QStyle>
#include <algorithm>

namespace vexa {

CRowCheckLine::CRowCheckLine(CImageWnd& shown, QWidget* parent)
    : QWidget(parent), preview(shown), icon(new QLabel(this)), text(new QLabel(this)) {
    setAccessibleName(QStringLiteral("Row check"));
    const int side = fontMetrics().height();
    icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(side, side));
    icon->setFixedSize(side, side);
    text->setTextFormat(Qt::PlainText);
    text->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    layout->addWidget(icon);
    layout->addWidget(text, 1);
    setMinimumHeight(side);
    connect(&preview, &CImageWnd::imageChanged, this, &CRowCheckLine::Refresh);
    Refresh();
}

void CRowCheckLine::Refresh() {
    const QString lines = preview.FindingsText();
    fullText = QString(lines).replace(u'\n', QStringLiteral("; "));
    icon->setVisible(!fullText.isEmpty());
    setToolTip(lines);
    setAccessibleDescription(fullText);
    Elide();
}

void CRowCheckLine::Elide() {
    text->setText(text->fontMetrics().elidedText(fullText, Qt::ElideRight, std::max(text->width(), 0)));
}

void CRowCheckLine::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Elide();
}

} // namespace vexa
