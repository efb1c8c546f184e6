#include "playback/ApngEncoder.h"

#include <QBuffer>
#include <QImageWriter>
#include <QtEndian>
#include <algorithm>
#include <array>
#include <vector>

namespace vexa {

namespace {

constexpr char kSignature[] = "\x89PNG\r\n\x1A\n";
constexpr int kSignatureSize = 8;

struct Chunk {
    QByteArray type;
    QByteArray data;
};

// The chunks of a PNG file; empty when it is not one.
std::vector<Chunk> ChunksOf(const QByteArray& png) {
    std::vector<Chunk> chunks;
    if (!png.startsWith(QByteArray(kSignature, kSignatureSize)))
        return {};
    qsizetype at = kSignatureSize;
    while (at + 12 <= png.size()) {
        const quint32 length = qFromBigEndian<quint32>(png.constData() + at);
        if (length > quint32(png.size() - at - 12))
            return {};
        chunks.push_back({png.mid(at + 4, 4), png.mid(at + 8, qsizetype(length))});
        at += 12 + qsizetype(length);
    }
    return chunks;
}

void PutBe32(QByteArray& out, quint32 value) {
    char bytes[4];
    qToBigEndian(value, bytes);
    out.append(bytes, 4);
}

void PutBe16(QByteArray& out, quint16 value) {
    char bytes[2];
    qToBigEndian(value, bytes);
    out.append(bytes, 2);
}

void PutChunk(QByteArray& out, const char* type, const QByteArray& data) {
    PutBe32(out, quint32(data.size()));
    QByteArray body(type, 4);
    body.append(data);
    out.append(body);
    PutBe32(out, ApngEncoder::Crc32(body));
}

QByteArray FramePng(const QImage& image) {
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    return writer.write(image) ? png : QByteArray();
}

// The frame control chunk: the whole canvas, a delay of durationMs, nothing disposed or
// blended (every frame is whole).
QByteArray FrameControl(quint32 sequence, QSize size, int durationMs) {
    QByteArray data;
    PutBe32(data, sequence);
    PutBe32(data, quint32(size.width()));
    PutBe32(data, quint32(size.height()));
    PutBe32(data, 0);
    PutBe32(data, 0);
    if (durationMs <= 65535) {
        PutBe16(data, quint16(durationMs));
        PutBe16(data, 1000);
    } else {
        PutBe16(data, quint16(std::min(durationMs / 10, 65535)));
        PutBe16(data, 100);
    }
    data.append('\0'); // dispose: none
    data.append('\0'); // blend: source
    return data;
}

} // namespace

quint32 ApngEncoder::Crc32(QByteArrayView bytes) {
    static const std::array<quint32, 256> table = [] {
        std::array<quint32, 256> entries{};
        for (quint32 n = 0; n < 256; ++n) {
            quint32 c = n;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            entries[n] = c;
        }
        return entries;
    }();
    quint32 crc = 0xFFFFFFFFu;
    for (const char byte : bytes)
        crc = table[(crc ^ quint8(byte)) & 0xFF] ^ (crc >> 8);
    return crc ^ 0xFFFFFFFFu;
}

QByteArray ApngEncoder::Encode(const IndexedAnimation& animation, QString* error) {
    const auto fail = [error](const QString& why) {
        if (error)
            *error = why;
        return QByteArray();
    };
    if (animation.FrameCount() == 0 || animation.size.isEmpty())
        return fail(QStringLiteral("nothing to write"));
    QByteArray out(kSignature, kSignatureSize);
    QByteArray header;
    quint32 sequence = 0;
    for (int f = 0; f < animation.FrameCount(); ++f) {
        const QImage image = animation.frame(f);
        if (image.size() != animation.size)
            return fail(QStringLiteral("frame %1 is not of the animation's size").arg(f));
        const std::vector<Chunk> chunks = ChunksOf(FramePng(image));
        if (chunks.empty() || chunks.front().type != "IHDR")
            return fail(QStringLiteral("frame %1 could not be made a PNG").arg(f));
        if (f == 0) {
            header = chunks.front().data;
            PutChunk(out, "IHDR", header);
            QByteArray control;
            PutBe32(control, quint32(animation.FrameCount()));
            PutBe32(control, quint32(std::max(animation.loops, 0)));
            PutChunk(out, "acTL", control);
            for (const Chunk& chunk : chunks) {
                if (chunk.type == "PLTE" || chunk.type == "tRNS")
                    PutChunk(out, chunk.type.constData(), chunk.data);
            }
        } else if (chunks.front().data != header) {
            return fail(QStringLiteral("frame %1 differs in depth or colours from the first").arg(f));
        }
        PutChunk(out, "fcTL", FrameControl(sequence++, animation.size, animation.durationsMs[size_t(f)]));
        for (const Chunk& chunk : chunks) {
            if (chunk.type != "IDAT")
                continue;
            if (f == 0) {
                PutChunk(out, "IDAT", chunk.data);
            } else {
                QByteArray data;
                PutBe32(data, sequence++);
                data.append(chunk.data);
                PutChunk(out, "fdAT", data);
            }
        }
    }
    PutChunk(out, "IEND", {});
    return out;
}

} // namespace vexa
