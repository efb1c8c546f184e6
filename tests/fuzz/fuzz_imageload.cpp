// Image loading: any picture file (as the image lists, the glyph library and the packer
// open them) loads, or is refused, without harm and within the size limits.
#include "core/ModelCatalogue.h"
#include "render/DotPacker.h"
#include "render/GlyphLibrary.h"
#include "render/SendPreparation.h"

#include <QFile>
#include <QTemporaryDir>
#include <cstddef>
#include <cstdint>

using namespace vexa;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("input.bmp"));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 0;
        file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
    }
    GlyphLibrary::LoadGlyphFile(path);
    for (const char* name : {"P01", "P30", "P13"}) {
        if (const DisplayModel* model = ModelCatalogue::Find(QString::fromLatin1(name)))
            DotPacker::PackFrameBitmap(path, SendPreparation::FrameParams(*model, false));
    }
    return 0;
}
