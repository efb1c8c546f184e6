#include "render/GlyphTextRenderer.h"

#include "render/ContentGrammar.h"
#include "render/DotPacker.h"
#include "render/GlyphLibrary.h"
#include "render/ImageFileReader.h"

#include <QFileInfo>
#include <QPainter>

namespace vexa {

namespace {

int FileWidth(const QString& path) {
    const QImage image = GlyphLibrary::LoadGlyphFile(path);
    return image.isNull() ? 0 : image.width();
}

} // namespace

GlyphFrameLists GlyphTextRenderer::BuildFrameLists(const QString& text, int rows, const QString& dataDir,
                                                   bool characterCodes) {
    GlyphFrameLists result;
    const QString space = GlyphLibrary::AsciiGlyphPath(dataDir, 32);
    const auto append = [&](qsizetype position, QString path0, QString path1) {
        if (!QFileInfo::exists(path0)) {
            path0 = path1 = space;
            result.missing.append(position);
        }
        result.lists[0] << path0;
        result.lists[1] << path1;
        result.width += FileWidth(path0);
    };
    if (characterCodes) {
        for (const DotPacker::SentCharacter& character : DotPacker::CharacterCodes(text)) {
            if (character.byte >= 0) {
                const QString path = GlyphLibrary::AsciiGlyphPath(dataDir, character.byte);
                append(character.position, path, path);
            }
        }
        return result;
    }
    for (qsizetype i = 0; i < text.size(); ++i) {
        int number = 0;
        if (ContentGrammar::ReadAnimationToken(text, i, &number)) {
            result.animated = true;
            append(i, GlyphLibrary::AnimationPath(dataDir, rows, number, 0),
                   GlyphLibrary::AnimationPath(dataDir, rows, number, 1));
            i += ContentGrammar::AnimationTokenLength - 1;
        } else {
            const QString path = GlyphLibrary::AsciiGlyphPath(dataDir, text[i].unicode());
            append(i, path, path);
        }
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
            ImageFileReader picture(path);
            const QSize size = picture.Size();
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
