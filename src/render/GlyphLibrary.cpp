#include "render/GlyphLibrary.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vexa {

namespace {

constexpr std::array<int, 3> kHeights = {7, 12, 16};

int AnimationCountFor(int heightIndex) {
    return heightIndex == 0 ? GlyphLibrary::Animations7 : GlyphLibrary::Animations12And16;
}

} // namespace

GlyphLibrary::GlyphLibrary() {
    for (int h = 0; h < 3; ++h)
        animations[static_cast<size_t>(h)].resize(static_cast<size_t>(AnimationCountFor(h) * 2));
    glyphs.resize(GlyphCount);
}

int GlyphLibrary::HeightIndex(int rows) {
    for (size_t i = 0; i < kHeights.size(); ++i) {
        if (kHeights[i] == rows)
            return static_cast<int>(i);
    }
    return -1;
}

QString GlyphLibrary::AsciiDir(const QString& dataDir) {
    // One spelling on disk; a tree copied from elsewhere may spell it differently.
    const QString preferred = dataDir + QStringLiteral("/ASCII");
    if (QFileInfo(preferred).isDir())
        return preferred;
    const QStringList entries = QDir(dataDir).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& entry : entries) {
        if (entry.compare(QLatin1String("ASCII"), Qt::CaseInsensitive) == 0)
            return dataDir + u'/' + entry;
    }
    return preferred;
}

QString GlyphLibrary::MissingGlyphFolder(const QString& dataDir) {
    if (!QFileInfo(dataDir).isDir())
        return dataDir;
    const QString ascii = AsciiDir(dataDir);
    return QFileInfo(ascii).isDir() ? QString() : ascii;
}

QString GlyphLibrary::MissingAnimationFolder(const QString& dataDir, int rows) {
    if (!QFileInfo(dataDir).isDir())
        return dataDir;
    const QString gif = QStringLiteral("%1/Gif/%2").arg(dataDir).arg(rows);
    return QFileInfo(gif).isDir() ? QString() : gif;
}

QString GlyphLibrary::AnimationPath(const QString& dataDir, int rows, int animation, int frame) {
    return QStringLiteral("%1/Gif/%2/%3_%4.bmp").arg(dataDir).arg(rows).arg(animation).arg(frame);
}

QString GlyphLibrary::AsciiGlyphPath(const QString& dataDir, int codeUnit) {
    return QStringLiteral("%1/%2.bmp").arg(AsciiDir(dataDir)).arg(codeUnit);
}

QString GlyphLibrary::FontGlyphPath(const QString& dataDir, int font, int colour, int glyph) {
    return QStringLiteral("%1/allAscii/Font%2/Color%3/%4.bmp")
        .arg(AsciiDir(dataDir))
        .arg(font)
        .arg(colour)
        .arg(glyph);
}

// The file is opened without blocking and checked on its descriptor, so a named pipe or a
// device never stalls the reader and no path is looked up twice; its bytes are read in one
// go and decoded from memory, the path's suffix naming the format first as QImageReader
// does for a file name.
QImage GlyphLibrary::LoadGlyphFile(const QString& path) {
    if (path.isEmpty())
        return {};
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return {};
    struct stat st {};
    QByteArray bytes;
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size <= MaxGlyphFileBytes) {
        bytes.resize(static_cast<qsizetype>(st.st_size));
        qsizetype filled = 0;
        while (filled < bytes.size()) {
            const ssize_t got = ::read(fd, bytes.data() + filled, static_cast<size_t>(bytes.size() - filled));
            if (got < 0 && errno == EINTR)
                continue;
            if (got <= 0)
                break;
            filled += got;
        }
        bytes.truncate(filled);
    }
    ::close(fd);
    if (bytes.isEmpty())
        return {};
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    const qsizetype dot = path.lastIndexOf(u'.');
    const qsizetype slash = path.lastIndexOf(u'/');
    QImageReader reader(&buffer, dot > slash ? path.sliced(dot + 1).toLower().toLatin1() : QByteArray());
    const QSize size = reader.size();
    if (!size.isValid() || size.width() > MaxGlyphSide || size.height() > MaxGlyphSide)
        return {};
    QImage image = reader.read();
    if (image.isNull())
        return {};
    image.convertTo(QImage::Format_ARGB32);
    return image;
}

void GlyphLibrary::Reset(const QString& folder) {
    dataDir = QDir::cleanPath(folder);
    asciiDir = AsciiDir(dataDir);
    loadedCount = 0;
    for (auto& list : animations)
        std::fill(list.begin(), list.end(), QImage());
    std::fill(glyphs.begin(), glyphs.end(), QImage());
    for (auto& read : folderRead)
        read.store(false);
    loaded = true;
}

void GlyphLibrary::Open(const QString& folder) {
    Reset(folder);
}

int GlyphLibrary::Load(const QString& folder) {
    Reset(folder);
    for (int f = 0; f < FolderCount; ++f)
        EnsureFolder(f);
    return loadedCount;
}

void GlyphLibrary::EnsureFolder(int folder) const {
    auto& read = folderRead[static_cast<size_t>(folder)];
    if (read.load(std::memory_order_acquire))
        return;
    std::lock_guard lock(readMutex);
    if (read.load(std::memory_order_relaxed))
        return;
    LoadFolder(folder);
    read.store(true, std::memory_order_release);
}

// A missing file simply fails to open in LoadGlyphFile: no separate existence check.
void GlyphLibrary::LoadFolder(int folder) const {
    if (!loaded)
        return;
    const auto keep = [this](QImage& slot, const QString& path) {
        slot = LoadGlyphFile(path);
        if (!slot.isNull())
            ++loadedCount;
    };
    if (folder < AnimationFolders) {
        const int rows = kHeights[static_cast<size_t>(folder)];
        std::vector<QImage>& list = animations[static_cast<size_t>(folder)];
        for (int n = 0; n < AnimationCountFor(folder); ++n) {
            for (int f = 0; f < 2; ++f)
                keep(list[static_cast<size_t>(n * 2 + f)], AnimationPath(dataDir, rows, n, f));
        }
        return;
    }
    const int font = (folder - AnimationFolders) / ColourCount;
    const int colour = (folder - AnimationFolders) % ColourCount;
    const QString prefix = QStringLiteral("%1/allAscii/Font%2/Color%3/").arg(asciiDir).arg(font).arg(colour);
    for (int glyph = 0; glyph < GlyphsPerColour; ++glyph) {
        const int entry = font * GlyphsPerFont + colour * GlyphsPerColour + glyph;
        keep(glyphs[static_cast<size_t>(entry)], prefix + QString::number(glyph) + QStringLiteral(".bmp"));
    }
}

const QImage* GlyphLibrary::AnimationFrame(int rows, int animation, int frame) const {
    const int h = HeightIndex(rows);
    if (h < 0 || animation < 0 || animation >= AnimationCountFor(h) || frame < 0 || frame > 1)
        return nullptr;
    EnsureFolder(h);
    const QImage& image = animations[static_cast<size_t>(h)][static_cast<size_t>(animation * 2 + frame)];
    return image.isNull() ? nullptr : &image;
}

quint64 GlyphLibrary::EntryOfCode(quint32 code) {
    const quint64 font = code >> 13;
    const quint64 colour = (code >> 11) & 3u;
    const quint64 index = code & 0x7FFu;
    return GlyphsPerFont * font + GlyphsPerColour * colour + index;
}

const QImage* GlyphLibrary::GlyphEntry(quint64 entry) const {
    if (entry >= static_cast<quint64>(GlyphCount))
        return nullptr;
    EnsureFolder(AnimationFolders + static_cast<int>(entry / GlyphsPerColour));
    const QImage& image = glyphs[static_cast<size_t>(entry)];
    return image.isNull() ? nullptr : &image;
}

const QImage* GlyphLibrary::GlyphOfCode(quint32 code) const {
    // A character index past the glyphs of a colour (a typed letter the fonts do not have)
    // would otherwise reach into the next colour or font and draw a stray glyph there.
    if ((code & 0x7FFu) >= static_cast<quint32>(GlyphsPerColour))
        return nullptr;
    return GlyphEntry(EntryOfCode(code));
}

} // namespace vexa
