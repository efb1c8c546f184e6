#include "ui/ToolTipWrapper.h"

#include <QAbstractItemView>
#include <QHelpEvent>
#include <QStringList>
#include <QTextDocument>
#include <QTextLayout>
#include <QToolTip>

namespace vexa {

namespace {

QString WithoutTrailingSpaces(QString line) {
    while (!line.isEmpty() && line.back().isSpace())
        line.chop(1);
    return line;
}

void WrapParagraph(const QString& paragraph, const QFont& font, int maxWidth, QStringList& lines) {
    if (paragraph.isEmpty()) {
        lines << QString();
        return;
    }
    QTextLayout layout(paragraph, font);
    QTextOption option;
    option.setWrapMode(QTextOption::WordWrap);
    layout.setTextOption(option);
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(maxWidth);
        lines << WithoutTrailingSpaces(paragraph.mid(line.textStart(), line.textLength()));
    }
    layout.endLayout();
}

// The tip a tooltip event asks for and the area it belongs to; an empty text when the
// watched object shows no tip of its own.
struct Tip {
    QString text;
    QWidget* owner = nullptr;
    QRect area; // in owner's coordinates; empty: the whole owner
    int durationMs = -1;
};

Tip TipFor(QObject* watched, const QHelpEvent& help) {
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget)
        return {};
    if (auto* view = qobject_cast<QAbstractItemView*>(widget->parentWidget());
        view && view->viewport() == widget) {
        const QModelIndex index = view->indexAt(help.pos());
        if (!index.isValid())
            return {};
        return {index.data(Qt::ToolTipRole).toString(), widget, view->visualRect(index)};
    }
    return {widget->toolTip(), widget, {}, widget->toolTipDuration()};
}

} // namespace

QString ToolTipWrapper::Wrap(const QString& text, const QFont& font, int maxWidth) {
    QStringList lines;
    for (const QString& paragraph : text.split(u'\n'))
        WrapParagraph(paragraph, font, maxWidth, lines);
    return lines.join(u'\n');
}

bool ToolTipWrapper::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::ToolTip)
        return QObject::eventFilter(watched, event);
    const auto& help = static_cast<const QHelpEvent&>(*event);
    const Tip tip = TipFor(watched, help);
    if (tip.text.isEmpty() || Qt::mightBeRichText(tip.text))
        return QObject::eventFilter(watched, event);
    QToolTip::showText(help.globalPos(), Wrap(tip.text, QToolTip::font()), tip.owner, tip.area,
                       tip.durationMs);
    return true;
}

} // namespace vexa
