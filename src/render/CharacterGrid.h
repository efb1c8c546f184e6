#pragma once

#include <QImage>
#include <QList>
#include <QPointF>
#include <QRectF>
#include <QSize>
#include <QString>
#include <optional>

namespace vexa {

// The character picker's grid: up to 194 character pictures from a folder in 10 columns
// and 8 rows, each shown two times enlarged and centred in its cell, one hovered cell
// framed. The mouse or the arrow keys move the hover; a pick gives the character index of
// the hovered picture. The widget CFaceWnd paints Render() and forwards input here.
class CharacterGrid {
public:
    static constexpr int Columns = 10;
    static constexpr int Rows = 8;
    static constexpr int MaxImages = 194;
    static constexpr QRgb LineColour = 0xFF4E4E4E;
    static constexpr QRgb HoverColour = 0xFF63B7FF;

    // Loads the *.bmp files of folder in name order, the character index of each being the
    // number its name starts with. Keeps at most MaxImages. Returns the count.
    int LoadFolder(const QString& folder);
    int Count() const { return static_cast<int>(images.size()); }
    const QList<int>& Indexes() const { return indexes; }

    int HoverRow() const { return hoverRow; }
    int HoverColumn() const { return hoverColumn; }
    // Marks the cell under point (client area of size client) as hovered; true when the
    // hovered cell changed.
    bool HoverAt(QPointF point, QSizeF client);
    // Moves the hover by whole cells (the first move from nowhere hovers the first cell),
    // staying on cells that hold a picture. True when it moved.
    bool MoveHover(int columns, int rows);
    // The character index of the hovered picture, remembered as the last pick; nothing
    // when no cell holding a picture is hovered.
    std::optional<int> Pick();
    int LastPicked() const { return lastPicked; }

    QRectF CellRect(int column, int row, QSizeF client) const;
    QImage Render(QSize client) const;

private:
    bool HoldsPicture(int column, int row) const;

    QList<QImage> images;
    QList<int> indexes;
    int hoverRow = -1;
    int hoverColumn = -1;
    int lastPicked = -1;
};

} // namespace vexa
