#include "render/ImageFileReader.h"

#include "store/RegularFile.h"

namespace vexa {

namespace {

QByteArray SuffixFormat(const QString& path) {
    const qsizetype dot = path.lastIndexOf(u'.');
    const qsizetype slash = path.lastIndexOf(u'/');
    return dot > slash ? path.sliced(dot + 1).toLower().toLatin1() : QByteArray();
}

} // namespace

ImageFileReader::ImageFileReader(const QString& path) {
    if (path.isEmpty() || !RegularFile::Open(file, path))
        return;
    reader.setDevice(&file);
    reader.setFormat(SuffixFormat(path));
    reader.setDecideFormatFromContent(false);
}

QSize ImageFileReader::Size() {
    return IsOpen() ? reader.size() : QSize();
}

} // namespace vexa
