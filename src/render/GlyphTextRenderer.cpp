#include "render/GlyphTextRenderer.h"

#include "render/ContentGrammar.h"
#include "render/GlyphLibrary.h"

#include <QFileInfo>
#include <QImageReader>
#include <QPainter>

namespace vexa {

namespace {

int FileWidth(const QString& path) {
    const QImage image = GlyphLibrary::LoadGlyphFile(path);
    return image.isNull() ? 0 : image.width();
}

} // namespace

GlyphFrameLists GlyphTextRenderer::BuildFrameLists(const QString& text, int rows, const QString& dataDir) {
    GlyphFrameLists result;
    const QString space = GlyphLibrary::AsciiGlyphPath(dataDir, 32);
    for (qsizetype i = 0; i < text.size(); ++i) {
        QString path0;
        QString path1;
        int number = 0;
        if (ContentGrammar::ReadAnimationToken(text, i, &number)) {
            result.animated = true;
            path0 = GlyphLibrary::AnimationPath(dataDir, rows, number, 0);
            path1 = GlyphLibrary::AnimationPath(dataDir, rows, number, 1);
            i += ContentGrammar::AnimationTokenLength - 1;
        } else {
            path0 = path1 = GlyphLibrary::AsciiGlyphPath(dataDir, text[i].unicode());
        }
        if (!QFileInfo::exists(path0))
            path0 = path1 = space;
        result.lists[0] << path0;
        result.lists[1] << path1;
        result.width += FileWidth(path0);
    }
    return result;
}

int GlyphTextRenderer::DrawGlyphText(QImage& raster, const QStringList& frameList, bool drawAll,
                                     int visibleWidth) {
    QPainter painter(&raster);
    int x = 0;
    for (const QString& path : frameList) {
        if (!drawAll && x >= visibleWidth) {
            // Beyond the visible part only the width is needed.
            QImageReader reader(path);
            const QSize size = reader.size();
            if (size.isValid() && size.width() <= GlyphLibrary::MaxGlyphSide &&
                size.height() <= GlyphLibrary::MaxGlyphSide)
                x += size.width();
            continue;
        }
        const QImage glyph = GlyphLibrary::LoadGlyphFile(path);
        if (glyph.isNull())
            continue;
        painter.drawImage(QPoint(x, 0), glyph);
        x += glyph.width();
    }
    return x;
}

int GlyphTextRenderer::DrawGlyphCodes(QImage& raster, const QList<quint32>& codes,
                                      const GlyphLibrary* library, bool drawAll, int visibleWidth) {
    if (!library)
        return 0;
    QPainter painter(&raster);
    int x = 0;
    for (const quint32 code : codes) {
        const QImage* glyph = library->GlyphOfCode(code);
        if (!glyph)
            continue;
        if (drawAll || x < visibleWidth)
            painter.drawImage(QPoint(x, 0), *glyph);
        x += glyph->width();
    }
    return x;
}

} // namespace vexa
