#include "playback/GifEncoder.h"

#include <QString>
#include <algorithm>
#include <vector>

namespace vexa {

namespace {

constexpr int kMaxCodes = 4096;
constexpr int kTableBits = 14; // an open-addressing table at most a quarter full
constexpr int kTableSize = 1 << kTableBits;

void PutLe16(QByteArray& out, int value) {
    out.append(char(value & 0xFF));
    out.append(char((value >> 8) & 0xFF));
}

// Codes packed from the least significant bit up, in sub-blocks of at most 255 bytes.
class CodeWriter {
public:
    explicit CodeWriter(QByteArray& target) : out(target) {}
    void Put(int code, int bits) {
        pending |= quint32(code) << pendingBits;
        pendingBits += bits;
        while (pendingBits >= 8) {
            Byte(uchar(pending & 0xFF));
            pending >>= 8;
            pendingBits -= 8;
        }
    }
    void Finish() {
        if (pendingBits > 0)
            Byte(uchar(pending & 0xFF));
        pending = 0;
        pendingBits = 0;
        if (!block.isEmpty())
            Flush();
        out.append('\0');
    }

private:
    void Byte(uchar byte) {
        block.append(char(byte));
        if (block.size() == 255)
            Flush();
    }
    void Flush() {
        out.append(char(block.size()));
        out.append(block);
        block.clear();
    }
    QByteArray& out;
    QByteArray block;
    quint32 pending = 0;
    int pendingBits = 0;
};

// The strings seen so far: (prefix code, next index) -> code.
class CodeTable {
public:
    CodeTable() : keys(kTableSize, -1), codes(kTableSize, 0) {}
    void Clear() { std::fill(keys.begin(), keys.end(), -1); }
    // The slot of key: where it is, or the free slot where it goes.
    int Slot(qint32 key) const {
        int slot = int((quint32(key) * 2654435761u) >> (32 - kTableBits));
        while (keys[size_t(slot)] != -1 && keys[size_t(slot)] != key)
            slot = (slot + 1) & (kTableSize - 1);
        return slot;
    }
    bool Holds(int slot) const { return keys[size_t(slot)] != -1; }
    int Code(int slot) const { return codes[size_t(slot)]; }
    void Add(int slot, qint32 key, int code) {
        keys[size_t(slot)] = key;
        codes[size_t(slot)] = code;
    }

private:
    std::vector<qint32> keys;
    std::vector<int> codes;
};

int BitsFor(int colours) {
    int bits = 1;
    while ((1 << bits) < colours)
        ++bits;
    return bits;
}

} // namespace

QByteArray GifEncoder::CompressPixels(const QByteArray& indexes, int minCodeSize) {
    QByteArray out;
    out.append(char(minCodeSize));
    CodeWriter writer(out);
    const int clearCode = 1 << minCodeSize;
    const int endCode = clearCode + 1;
    int next = endCode + 1;
    int bits = minCodeSize + 1;
    writer.Put(clearCode, bits);
    if (indexes.isEmpty()) {
        writer.Put(endCode, bits);
        writer.Finish();
        return out;
    }
    CodeTable table;
    const auto* pixels = reinterpret_cast<const uchar*>(indexes.constData());
    int prefix = pixels[0];
    for (qsizetype i = 1; i < indexes.size(); ++i) {
        const int pixel = pixels[i];
        const qint32 key = prefix << 8 | pixel;
        const int slot = table.Slot(key);
        if (table.Holds(slot)) {
            prefix = table.Code(slot);
            continue;
        }
        writer.Put(prefix, bits);
        if (next < kMaxCodes) {
            // The reader widens its codes when its table reaches the next power of two.
            if (next == (1 << bits))
                ++bits;
            table.Add(slot, key, next++);
        } else {
            writer.Put(clearCode, bits);
            table.Clear();
            next = endCode + 1;
            bits = minCodeSize + 1;
        }
        prefix = pixel;
    }
    writer.Put(prefix, bits);
    writer.Put(endCode, bits);
    writer.Finish();
    return out;
}

QByteArray GifEncoder::Encode(const IndexedAnimation& animation, QString* error) {
    const QSize size = animation.size;
    if (animation.FrameCount() == 0 || size.isEmpty() || size.width() > 65535 || size.height() > 65535 ||
        animation.palette.isEmpty() || animation.palette.size() > 256) {
        if (error)
            *error = QStringLiteral("nothing to write, or a picture a GIF cannot hold");
        return {};
    }
    const int tableBits = BitsFor(int(animation.palette.size()));
    const int minCodeSize = std::max(2, tableBits);
    QByteArray out("GIF89a");
    PutLe16(out, size.width());
    PutLe16(out, size.height());
    out.append(char(0x80 | (tableBits - 1) << 4 | (tableBits - 1))); // global table, its size
    out.append('\0');                                                // background colour index
    out.append('\0');                                                // no aspect ratio
    for (int i = 0; i < (1 << tableBits); ++i) {
        const QRgb colour = i < animation.palette.size() ? animation.palette[i] : 0;
        out.append(char(qRed(colour)));
        out.append(char(qGreen(colour)));
        out.append(char(qBlue(colour)));
    }
    // Readers take the loop count as repeats after the first showing; once needs none.
    if (animation.loops != 1) {
        out.append("\x21\xFF\x0BNETSCAPE2.0\x03\x01", 16);
        PutLe16(out, animation.loops == 0 ? 0 : std::min(animation.loops - 1, 65535));
        out.append('\0');
    }
    qint64 elapsedMs = 0;
    QByteArray indexes(qsizetype(size.width()) * size.height(), '\0');
    for (int f = 0; f < animation.FrameCount(); ++f) {
        const QImage image = animation.frame(f);
        if (image.format() != QImage::Format_Indexed8 || image.size() != size) {
            if (error)
                *error = QStringLiteral("frame %1 is not an indexed picture of the animation's size").arg(f);
            return {};
        }
        const qint64 startCs = (elapsedMs + 5) / 10;
        elapsedMs += animation.durationsMs[size_t(f)];
        const qint64 delay = std::clamp<qint64>((elapsedMs + 5) / 10 - startCs, 0, 65535);
        out.append("\x21\xF9\x04\x04", 4); // graphic control: keep the frame (disposal 1)
        PutLe16(out, int(delay));
        out.append('\0'); // no transparent colour
        out.append('\0');
        out.append('\x2C');
        PutLe16(out, 0);
        PutLe16(out, 0);
        PutLe16(out, size.width());
        PutLe16(out, size.height());
        out.append('\0'); // no local table, not interlaced
        for (int y = 0; y < size.height(); ++y)
            std::copy_n(image.constScanLine(y), size.width(), indexes.data() + qsizetype(y) * size.width());
        out.append(CompressPixels(indexes, minCodeSize));
    }
    out.append('\x3B');
    return out;
}

} // namespace vexa
