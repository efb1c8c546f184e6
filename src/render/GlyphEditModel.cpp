#include "render/GlyphEditModel.h"

#include "render/GlyphLibrary.h"
#include "store/AtomicFile.h"

#include <QPainter>
#include <algorithm>

namespace vexa {

quint32 GlyphEditModel::CodeOf(int c) const {
    const auto style = static_cast<quint32>((fontIndex << 2) | colourIndex);
    return static_cast<quint32>(c) | (style << 11);
}

void GlyphEditModel::InsertCode(int c) {
    caretIndex = std::clamp(caretIndex, 0, static_cast<int>(codes.size()));
    codes.insert(caretIndex, CodeOf(c));
    ++caretIndex;
}

void GlyphEditModel::InsertCodes(const QList<quint32>& ready) {
    caretIndex = std::clamp(caretIndex, 0, static_cast<int>(codes.size()));
    for (quint32 code : ready)
        codes.insert(caretIndex++, code);
}

bool GlyphEditModel::TypeCharacter(char16_t c) {
    if (c == u'\b') {
        if (caretIndex <= 0 || caretIndex > codes.size())
            return false;
        codes.removeAt(--caretIndex);
        return true;
    }
    if (codes.size() > maxCodes)
        return false;
    InsertCode(c);
    return true;
}

bool GlyphEditModel::CaretKeyReleased(CaretKey key) {
    const int length = static_cast<int>(codes.size());
    switch (key) {
    case CaretKey::End:
        caretIndex = length;
        break;
    case CaretKey::Home:
        caretIndex = 0;
        break;
    case CaretKey::Back:
        caretIndex = std::max(0, caretIndex - 1);
        break;
    case CaretKey::Forward:
        caretIndex = std::min(length, caretIndex + 1);
        break;
    case CaretKey::Delete:
        if (caretIndex >= 0 && caretIndex < length) {
            codes.removeAt(caretIndex);
            return true;
        }
        break;
    }
    return false;
}

GlyphEditModel::PasteResult GlyphEditModel::Paste(const QString& text) {
    PasteResult result;
    for (QChar unit : text) {
        if (codes.size() >= PasteLimit) {
            result.stopped = true;
            break;
        }
        InsertCode(unit.unicode());
        ++result.inserted;
    }
    return result;
}

bool GlyphEditModel::Clear() {
    const bool had = !codes.isEmpty();
    codes.clear();
    caretIndex = 0;
    return had;
}

void GlyphEditModel::Remember(const Snapshot& before) {
    undoSteps.append(before);
    if (undoSteps.size() > MaxUndoSteps)
        undoSteps.removeFirst();
    redoSteps.clear();
}

void GlyphEditModel::Take(const Snapshot& snapshot) {
    codes = snapshot.codes;
    caretIndex = std::clamp(snapshot.caretIndex, 0, static_cast<int>(codes.size()));
}

bool GlyphEditModel::Undo() {
    if (undoSteps.isEmpty())
        return false;
    redoSteps.append(Keep());
    Take(undoSteps.takeLast());
    return true;
}

bool GlyphEditModel::Redo() {
    if (redoSteps.isEmpty())
        return false;
    undoSteps.append(Keep());
    Take(redoSteps.takeLast());
    return true;
}

bool GlyphEditModel::Restore(const Snapshot& kept) {
    if (Keep() == kept)
        return false;
    Remember(Keep());
    Take(kept);
    return true;
}

const QImage* GlyphEditModel::GlyphOf(quint32 code) const {
    return glyphLibrary ? glyphLibrary->GlyphOfCode(code) : nullptr;
}

GlyphEditModel::Layout GlyphEditModel::LayOut(int clientWidth) const {
    Layout layout;
    int x = 0;
    int y = 0;
    int lineHeight = MinLineHeight;
    bool caretPlaced = false;
    for (int i = 0; i < codes.size(); ++i) {
        const QImage* glyph = GlyphOf(codes[i]);
        if (!glyph) {
            layout.missing.append(i);
            if (i == caretIndex) {
                layout.caret = {x, y};
                caretPlaced = true;
            }
            continue;
        }
        const int w = glyph->width() * Scale;
        const int h = glyph->height() * Scale;
        lineHeight = std::max(lineHeight, h);
        if (clientWidth < x + w + 2) {
            x = 0;
            y += lineHeight;
        }
        if (i == caretIndex) {
            layout.caret = {x, y};
            caretPlaced = true;
        }
        layout.glyphs.append({i, QRect(x, y, w, h), glyph});
        x += w;
    }
    if (!caretPlaced)
        layout.caret = {x, y};
    return layout;
}

int GlyphEditModel::HitTest(int clientWidth, QPoint point) const {
    const Layout layout = LayOut(clientWidth);
    for (const PlacedGlyph& placed : layout.glyphs) {
        const int dx = point.x() - placed.rect.x();
        const int dy = point.y() - placed.rect.y();
        if (dx < placed.rect.width() / 2 && dy >= 0 && dy < placed.rect.height())
            return placed.index;
    }
    return static_cast<int>(codes.size());
}

QImage GlyphEditModel::Render(QSize client, QStringList* missingLines) const {
    QImage raster(client.expandedTo(QSize(1, 1)), QImage::Format_ARGB32);
    raster.fill(Qt::black);
    const Layout layout = LayOut(client.width());
    QPainter painter(&raster);
    for (const PlacedGlyph& placed : layout.glyphs)
        painter.drawImage(placed.rect, *placed.glyph);
    painter.end();
    if (missingLines) {
        for (int i : layout.missing)
            missingLines->append(MissingGlyphLine(codes[i]));
    }
    return raster;
}

QString GlyphEditModel::MissingGlyphLine(quint32 code) {
    return QStringLiteral("FontType:%1, FontColor:%2, nChar:%3\r\n")
        .arg(code >> 13)
        .arg((code >> 11) & 3)
        .arg(QChar(static_cast<char16_t>(code & 0x7FF)));
}

bool GlyphEditModel::WriteMissingGlyphLog(const QString& path, const QStringList& lines) {
    const QString text = lines.join(QString());
    QByteArray bytes("\xFF\xFE", 2);
    for (QChar unit : text) {
        bytes.append(static_cast<char>(unit.unicode() & 0xFF));
        bytes.append(static_cast<char>(unit.unicode() >> 8));
    }
    return AtomicFile::Write(path, bytes) == AtomicFile::Result::Ok;
}

} // namespace vexa
