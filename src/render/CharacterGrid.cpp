#include "render/CharacterGrid.h"

#include "render/ContentGrammar.h"
#include "render/GlyphLibrary.h"
#include "render/RenderLog.h"

#include <QDir>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace vexa {

int CharacterGrid::LoadFolder(const QString& folder) {
    images.clear();
    indexes.clear();
    hoverRow = hoverColumn = -1;
    // Name order keeps the pictures in the order of their numbers whatever order the
    // file system lists them in (all the shipped names have three digits).
    const QStringList files =
        QDir(folder).entryList({QStringLiteral("*.bmp")}, QDir::Files, QDir::Name | QDir::IgnoreCase);
    QString traced;
    for (const QString& file : files) {
        if (images.size() >= MaxImages)
            break;
        const int index = ContentGrammar::ToInteger(QStringView(file).left(file.indexOf(u'.')));
        images.append(GlyphLibrary::LoadGlyphFile(folder + u'/' + file));
        indexes.append(index);
        traced += QStringLiteral("%1 ").arg(index, 3, 10, QLatin1Char('0'));
    }
    qCDebug(lcRender, "%s", qPrintable(traced));
    return Count();
}

bool CharacterGrid::HoldsPicture(int column, int row) const {
    return row >= 0 && column >= 0 && column < Columns && column + Columns * row < Count();
}

bool CharacterGrid::HoverAt(QPointF point, QSizeF client) {
    if (client.width() <= 0 || client.height() <= 0)
        return false;
    const int column = static_cast<int>(std::floor(point.x() / (client.width() / Columns)));
    const int row = static_cast<int>(std::floor(point.y() / (client.height() / Rows)));
    if (column == hoverColumn && row == hoverRow)
        return false;
    hoverColumn = column;
    hoverRow = row;
    qCDebug(lcRender, "rows=%d, cols=%d", row, column);
    return true;
}

bool CharacterGrid::MoveHover(int columns, int rows) {
    if (Count() == 0)
        return false;
    if (!HoldsPicture(hoverColumn, hoverRow)) {
        hoverColumn = hoverRow = 0;
        return true;
    }
    const int column = std::clamp(hoverColumn + columns, 0, Columns - 1);
    const int row = std::clamp(hoverRow + rows, 0, Rows - 1);
    if (!HoldsPicture(column, row) || (column == hoverColumn && row == hoverRow))
        return false;
    hoverColumn = column;
    hoverRow = row;
    return true;
}

std::optional<int> CharacterGrid::Pick() {
    if (!HoldsPicture(hoverColumn, hoverRow))
        return std::nullopt;
    lastPicked = indexes[hoverColumn + Columns * hoverRow];
    return lastPicked;
}

QRectF CharacterGrid::CellRect(int column, int row, QSizeF client) const {
    const qreal w = client.width() / Columns;
    const qreal h = client.height() / Rows;
    return {column * w, row * h, w, h};
}

QImage CharacterGrid::Render(QSize client) const {
    QImage raster(client.expandedTo(QSize(1, 1)), QImage::Format_ARGB32);
    raster.fill(Qt::black);
    const QSizeF size(client);
    QPainter painter(&raster);
    painter.setPen(QPen(QColor::fromRgb(LineColour), 1));
    const qreal cellW = size.width() / Columns;
    const qreal cellH = size.height() / Rows;
    for (int i = 0; i <= Columns; ++i)
        painter.drawLine(QPointF(i * cellW, 0), QPointF(i * cellW, size.height()));
    for (int i = 0; i <= Rows; ++i)
        painter.drawLine(QPointF(0, i * cellH), QPointF(size.width(), i * cellH));
    for (int i = 0; i < Count(); ++i) {
        const QImage& image = images[i];
        if (image.isNull())
            continue;
        const QRectF cell = CellRect(i % Columns, i / Columns, size);
        const QSize enlarged = image.size() * 2;
        const QPoint topLeft(static_cast<int>(std::lround(cell.center().x() - enlarged.width() / 2.0)),
                             static_cast<int>(std::lround(cell.center().y() - enlarged.height() / 2.0)));
        painter.drawImage(QRect(topLeft, enlarged), image);
    }
    if (HoldsPicture(hoverColumn, hoverRow)) {
        painter.setPen(QPen(QColor::fromRgb(HoverColour), 1));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(CellRect(hoverColumn, hoverRow, size));
    }
    return raster;
}

} // namespace vexa
