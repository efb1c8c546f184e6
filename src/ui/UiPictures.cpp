#include "ui/UiPictures.h"

#include "render/TextColourList.h"
#include "render/TextRasteriser.h"

#include <QIconEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPixmapCache>
#include <array>
#include <cmath>
#include <functional>
#include <optional>

namespace vexa {

namespace {

// Palette shared by every picture, so the set reads as one family.
const QColor kInk(0x24, 0x3b, 0x53);
const QColor kAccent(0x1f, 0x78, 0xc8);
const QColor kAccentHover(0x0f, 0x9d, 0xe8);
const QColor kGreen(0x2e, 0x9e, 0x4f);
const QColor kRed(0xd6, 0x3b, 0x3b);
const QColor kPaper(0xff, 0xff, 0xff);
const QColor kPanel(0x1a, 0x22, 0x2e);
const QColor kAmber(0xff, 0xa8, 0x20);

QPen InkPen(const QColor& colour, qreal width) {
    QPen pen(colour, width);
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    return pen;
}

// Every picture is drawn in a 16 x 16 design box scaled to the target rectangle.
void PaintProgramIcon(QPainter& p) {
    p.setPen(Qt::NoPen);
    p.setBrush(kPanel);
    p.drawRoundedRect(QRectF(0.5, 2, 15, 12), 2, 2);
    // A lit "V" on a 7 x 5 dot field.
    static constexpr std::array<const char*, 5> kDots = {"X.....X", "X.....X", ".X...X.", "..X.X..",
                                                         "...X..."};
    for (int y = 0; y < 5; ++y) {
        for (int x = 0; x < 7; ++x) {
            const bool lit = kDots[static_cast<size_t>(y)][x] == 'X';
            p.setBrush(lit ? kAmber : QColor(0x3a, 0x44, 0x52));
            p.drawEllipse(QPointF(2.6 + x * 1.8, 4.4 + y * 1.8), 0.72, 0.72);
        }
    }
}

void PaintClock(QPainter& p, const QColor& accent) {
    p.setPen(InkPen(accent, 1.4));
    p.setBrush(kPaper);
    p.drawEllipse(QPointF(8, 8), 6.2, 6.2);
    p.setPen(InkPen(kInk, 1.4));
    p.drawLine(QPointF(8, 8), QPointF(8, 4.4));
    p.drawLine(QPointF(8, 8), QPointF(10.8, 9.6));
    p.setPen(Qt::NoPen);
    p.setBrush(kInk);
    p.drawEllipse(QPointF(8, 8), 0.9, 0.9);
}

void PaintPictureFrame(QPainter& p, const QColor& accent) {
    p.setPen(InkPen(accent, 1.2));
    p.setBrush(kPaper);
    p.drawRoundedRect(QRectF(1.5, 2.5, 13, 11), 1.5, 1.5);
    QPainterPath hills;
    hills.moveTo(2.5, 12.5);
    hills.lineTo(6.5, 7.5);
    hills.lineTo(9, 10.5);
    hills.lineTo(10.8, 8.7);
    hills.lineTo(13.5, 12.5);
    hills.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(kGreen);
    p.drawPath(hills);
    p.setBrush(kAmber);
    p.drawEllipse(QPointF(11, 5.6), 1.3, 1.3);
}

void PaintSendArrow(QPainter& p, const QColor& accent) {
    QPainterPath plane;
    plane.moveTo(1.5, 7.2);
    plane.lineTo(14.5, 2);
    plane.lineTo(10.5, 14);
    plane.lineTo(7.6, 9.2);
    plane.closeSubpath();
    p.setPen(InkPen(accent.darker(130), 1));
    p.setBrush(accent);
    p.drawPath(plane);
    p.setPen(InkPen(kPaper, 1));
    p.drawLine(QPointF(7.6, 9.2), QPointF(14.2, 2.3));
}

void PaintRoundBadge(QPainter& p, const QColor& colour) {
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawEllipse(QPointF(8, 8), 6.5, 6.5);
    p.setPen(InkPen(kPaper, 1.9));
}

void PaintAdd(QPainter& p) {
    PaintRoundBadge(p, kGreen);
    p.drawLine(QPointF(8, 4.6), QPointF(8, 11.4));
    p.drawLine(QPointF(4.6, 8), QPointF(11.4, 8));
}

void PaintDelete(QPainter& p) {
    PaintRoundBadge(p, kRed);
    p.drawLine(QPointF(4.6, 8), QPointF(11.4, 8));
}

void PaintModify(QPainter& p) {
    p.save();
    p.translate(8, 8);
    p.rotate(45);
    p.setPen(InkPen(kInk, 0.9));
    p.setBrush(kAmber);
    p.drawRect(QRectF(-1.8, -6.5, 3.6, 9.5));
    QPainterPath tip;
    tip.moveTo(-1.8, 3);
    tip.lineTo(1.8, 3);
    tip.lineTo(0, 6.6);
    tip.closeSubpath();
    p.setBrush(kPaper);
    p.drawPath(tip);
    p.restore();
}

void PaintScan(QPainter& p) {
    p.setPen(InkPen(kAccent, 1.6));
    p.setBrush(kPaper);
    p.drawEllipse(QPointF(6.8, 6.8), 4.6, 4.6);
    p.setPen(InkPen(kInk, 2.2));
    p.drawLine(QPointF(10.2, 10.2), QPointF(14.2, 14.2));
    p.setPen(InkPen(kAccent, 1));
    p.drawArc(QRectF(4.3, 4.3, 5, 5), 45 * 16, 90 * 16);
}

void PaintCheckBox(QPainter& p, bool checked, bool rightToLeft) {
    const QRectF box(1.5, 1.5, 13, 13);
    if (checked) {
        p.setPen(Qt::NoPen);
        p.setBrush(rightToLeft ? kAmber.darker(115) : kAccent);
    } else {
        p.setPen(InkPen(QColor(0x8a, 0x9b, 0xae), 1));
        p.setBrush(kPaper);
    }
    p.drawRoundedRect(box, 2.5, 2.5);
    if (!checked)
        return;
    p.setPen(InkPen(kPaper, 1.8));
    if (rightToLeft) {
        p.drawLine(QPointF(11.5, 8), QPointF(4.5, 8));
        p.drawLine(QPointF(4.5, 8), QPointF(7.3, 5.2));
        p.drawLine(QPointF(4.5, 8), QPointF(7.3, 10.8));
    } else {
        p.drawLine(QPointF(4.2, 8.3), QPointF(6.9, 11));
        p.drawLine(QPointF(6.9, 11), QPointF(11.9, 5));
    }
}

// Bold, italic and underline buttons: a letter on a key, the key lit while pressed.
void PaintStyleKey(QPainter& p, QChar letter, bool pressed) {
    p.setPen(InkPen(pressed ? kAccent.darker(125) : QColor(0x8a, 0x9b, 0xae), 1));
    p.setBrush(pressed ? kAccent : kPaper);
    p.drawRoundedRect(QRectF(0.5, 0.5, 15, 15), 2.5, 2.5);
    QFont font(QStringLiteral("Liberation Serif"));
    font.setPixelSize(12);
    font.setBold(letter == u'B');
    font.setItalic(letter == u'I');
    QPainterPath glyph;
    glyph.addText(0, 0, font, QString(letter));
    const QRectF box = glyph.boundingRect();
    const qreal top = letter == u'U' ? 2.2 : 3.0;
    glyph.translate(8 - box.center().x(), top - box.top());
    const QColor ink = pressed ? kPaper : kInk;
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    p.drawPath(glyph);
    if (letter == u'U') {
        p.setPen(InkPen(ink, 1.2));
        p.drawLine(QPointF(4.5, 13.2), QPointF(11.5, 13.2));
    }
}

// Colour list entries: the bands the sign shows for the entry's colour, top to bottom
// (one band for the single colours), straight from the rasteriser's table.
struct ColourEntry {
    std::array<QRgb, 3> bands;
    int bandCount;
};

std::optional<ColourEntry> ColourByResource(int resourceId) {
    const int index = TextColourList::IndexOfIcon(resourceId);
    if (index < 0)
        return std::nullopt;
    const QRgb colour = TextColourList::At(index).colour;
    return ColourEntry{TextRasteriser::ColourBands(colour), TextRasteriser::IsBanded(colour) ? 3 : 1};
}

void PaintColour(QPainter& p, const ColourEntry& entry) {
    const QRectF box(1, 1, 14, 14);
    p.setPen(Qt::NoPen);
    const qreal bandHeight = box.height() / entry.bandCount;
    for (int i = 0; i < entry.bandCount; ++i) {
        p.setBrush(QColor::fromRgb(entry.bands[static_cast<size_t>(i)]));
        p.drawRect(QRectF(box.left(), box.top() + i * bandHeight, box.width(), bandHeight));
    }
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(0x30, 0x30, 0x30), 1));
    p.drawRect(QRectF(1.5, 1.5, 13, 13));
}

// The drawn pictures by resource number; the colour list entries come on top of these.
struct Design {
    int resourceId;
    void (*paint)(QPainter&);
};

constexpr Design kDesigns[] = {
    {UiPictures::ProgramIcon, PaintProgramIcon},
    {UiPictures::CheckTime, [](QPainter& p) { PaintClock(p, kAccent); }},
    {UiPictures::CheckTimeHover, [](QPainter& p) { PaintClock(p, kAccentHover); }},
    {UiPictures::BmpEditor, [](QPainter& p) { PaintPictureFrame(p, kAccent); }},
    {UiPictures::BmpEditorHover, [](QPainter& p) { PaintPictureFrame(p, kAccentHover); }},
    {UiPictures::Send, [](QPainter& p) { PaintSendArrow(p, kAccent); }},
    {UiPictures::SendHover, [](QPainter& p) { PaintSendArrow(p, kAccentHover); }},
    {UiPictures::AddSign, PaintAdd},
    {UiPictures::ModifySign, PaintModify},
    {UiPictures::DeleteSign, PaintDelete},
    {UiPictures::ScanSigns, PaintScan},
    {UiPictures::CheckBoxOff, [](QPainter& p) { PaintCheckBox(p, false, false); }},
    {UiPictures::CheckBoxOn, [](QPainter& p) { PaintCheckBox(p, true, false); }},
    {UiPictures::RightToLeftOff, [](QPainter& p) { PaintCheckBox(p, false, true); }},
    {UiPictures::RightToLeftOn, [](QPainter& p) { PaintCheckBox(p, true, true); }},
    {UiPictures::Bold, [](QPainter& p) { PaintStyleKey(p, u'B', false); }},
    {UiPictures::BoldPressed, [](QPainter& p) { PaintStyleKey(p, u'B', true); }},
    {UiPictures::Italic, [](QPainter& p) { PaintStyleKey(p, u'I', false); }},
    {UiPictures::ItalicPressed, [](QPainter& p) { PaintStyleKey(p, u'I', true); }},
    {UiPictures::Underline, [](QPainter& p) { PaintStyleKey(p, u'U', false); }},
    {UiPictures::UnderlinePressed, [](QPainter& p) { PaintStyleKey(p, u'U', true); }},
};

const Design* FindDesign(int resourceId) {
    for (const Design& design : kDesigns) {
        if (design.resourceId == resourceId)
            return &design;
    }
    return nullptr;
}

bool PaintDesign(QPainter& p, int resourceId) {
    if (const Design* design = FindDesign(resourceId)) {
        design->paint(p);
        return true;
    }
    if (const auto colour = ColourByResource(resourceId)) {
        PaintColour(p, *colour);
        return true;
    }
    return false;
}

// A transparent pixmap of pixels device pixels, labelled with scale, drawn once by draw
// (in device pixels) and then kept in the pixmap cache under key.
QPixmap CachedPixmap(const QString& key, QSize pixels, qreal scale,
                     const std::function<void(QPainter&)>& draw) {
    QPixmap pm;
    if (QPixmapCache::find(key, &pm))
        return pm;
    pm = QPixmap(pixels);
    pm.fill(Qt::transparent);
    {
        QPainter p(&pm);
        draw(p);
    }
    pm.setDevicePixelRatio(scale);
    QPixmapCache::insert(key, pm);
    return pm;
}

// Paints a picture at whatever size and scale the icon is asked for; the Disabled mode
// gets a faded copy. Pixmaps are kept in the pixmap cache, as buttons ask for theirs at
// every paint.
class PaintedIconEngine : public QIconEngine {
public:
    explicit PaintedIconEngine(int pictureId) : picture(pictureId) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override {
        painter->save();
        if (mode == QIcon::Disabled)
            painter->setOpacity(0.4);
        UiPictures::Paint(*painter, rect, PictureFor(state));
        painter->restore();
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return scaledPixmap(size, mode, state, 1.0);
    }

    // QIcon hands over the size in device pixels already; scale only labels the result.
    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state, qreal scale) override {
        const QString key = QStringLiteral("vexa-icon:%1:%2x%3:%4@%5")
                                .arg(PictureFor(state))
                                .arg(size.width())
                                .arg(size.height())
                                .arg(mode == QIcon::Disabled ? 1 : 0)
                                .arg(scale);
        return CachedPixmap(key, size, scale,
                            [&](QPainter& p) { paint(&p, QRect(QPoint(0, 0), size), mode, state); });
    }

    QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override { return size; }
    QIconEngine* clone() const override { return new PaintedIconEngine(picture); }
    QString key() const override { return QStringLiteral("VexaPainted"); }

protected:
    virtual int PictureFor(QIcon::State) const { return picture; }

private:
    int picture;
};

// A two-state picture: one picture while off, another while on (checked).
class ToggleIconEngine : public PaintedIconEngine {
public:
    ToggleIconEngine(int offId, int onId) : PaintedIconEngine(offId), off(offId), on(onId) {}
    QIconEngine* clone() const override { return new ToggleIconEngine(off, on); }

protected:
    int PictureFor(QIcon::State state) const override { return state == QIcon::On ? on : off; }

private:
    int off;
    int on;
};

} // namespace

static_assert(UiPictures::ColourCount == TextColourList::Count);

bool UiPictures::Exists(int resourceId) {
    return FindDesign(resourceId) || ColourByResource(resourceId);
}

void UiPictures::Paint(QPainter& painter, const QRectF& rect, int resourceId) {
    const qreal side = std::min(rect.width(), rect.height());
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.translate(rect.left() + (rect.width() - side) / 2, rect.top() + (rect.height() - side) / 2);
    painter.scale(side / 16.0, side / 16.0);
    PaintDesign(painter, resourceId);
    painter.restore();
}

void UiPictures::PaintCached(QPainter& painter, const QRectF& rect, int resourceId) {
    const QPointF whole(std::floor(rect.left()), std::floor(rect.top()));
    const QRectF within = rect.translated(-whole);
    if (!painter.transform().isIdentity()) {
        Paint(painter, rect, resourceId); // a moved or scaled painter draws the picture itself
        return;
    }
    const qreal scale = painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
    const QString key = QStringLiteral("vexa-picture:%1:%2,%3,%4,%5@%6")
                            .arg(resourceId)
                            .arg(within.left())
                            .arg(within.top())
                            .arg(within.width())
                            .arg(within.height())
                            .arg(scale);
    const QSize pixels(static_cast<int>(std::ceil(within.right() * scale)),
                       static_cast<int>(std::ceil(within.bottom() * scale)));
    painter.drawPixmap(whole, CachedPixmap(key, pixels, scale, [&](QPainter& p) {
                           p.scale(scale, scale);
                           Paint(p, within, resourceId);
                       }));
}

QIcon UiPictures::Icon(int resourceId) {
    return Exists(resourceId) ? QIcon(new PaintedIconEngine(resourceId)) : QIcon();
}

QIcon UiPictures::ToggleIcon(int offId, int onId) {
    return Exists(offId) && Exists(onId) ? QIcon(new ToggleIconEngine(offId, onId)) : QIcon();
}

int UiPictures::ColourIconResource(int index) {
    return TextColourList::IsValid(index) ? TextColourList::At(index).iconId : -1;
}

QIcon UiPictures::ColourIcon(int index) {
    return Icon(ColourIconResource(index));
}

} // namespace vexa
