#include "playback/WebpEncoder.h"

#include <QBuffer>
#include <QImageWriter>
#include <QtEndian>
#include <algorithm>

namespace vexa {

namespace {

void PutLe24(QByteArray& out, quint32 value) {
    out.append(char(value & 0xFF));
    out.append(char((value >> 8) & 0xFF));
    out.append(char((value >> 16) & 0xFF));
}

void PutLe32(QByteArray& out, quint32 value) {
    char bytes[4];
    qToLittleEndian(value, bytes);
    out.append(bytes, 4);
}

void PutChunk(QByteArray& out, const char* type, const QByteArray& data) {
    out.append(type, 4);
    PutLe32(out, quint32(data.size()));
    out.append(data);
    if (data.size() % 2 != 0)
        out.append('\0');
}

// The image chunks (ALPH, VP8, VP8L, with their headers) of a still WebP file; empty when
// it is none.
QByteArray BitstreamOf(const QByteArray& webp) {
    if (webp.size() < 12 || !webp.startsWith("RIFF") || webp.mid(8, 4) != "WEBP")
        return {};
    QByteArray bitstream;
    qsizetype at = 12;
    while (at + 8 <= webp.size()) {
        const quint32 length = qFromLittleEndian<quint32>(webp.constData() + at + 4);
        const qsizetype padded = qsizetype(length) + (length % 2);
        if (qsizetype(length) > webp.size() - at - 8)
            return {};
        const QByteArray type = webp.mid(at, 4);
        if (type == "ALPH" || type == "VP8 " || type == "VP8L")
            bitstream.append(webp.mid(at, 8 + std::min(padded, webp.size() - at - 8)));
        at += 8 + padded;
    }
    return bitstream;
}

QByteArray FrameWebp(const QImage& image) {
    QByteArray webp;
    QBuffer buffer(&webp);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "webp");
    writer.setQuality(100); // lossless: the dots keep their exact colours
    return writer.write(image.convertToFormat(QImage::Format_RGB32)) ? webp : QByteArray();
}

} // namespace

bool WebpEncoder::Available() {
    return QImageWriter::supportedImageFormats().contains("webp");
}

QByteArray WebpEncoder::Encode(const IndexedAnimation& animation, QString* error) {
    const auto fail = [error](const QString& why) {
        if (error)
            *error = why;
        return QByteArray();
    };
    if (!Available())
        return fail(QStringLiteral("this system's Qt has no WebP writer"));
    if (animation.FrameCount() == 0 || animation.size.isEmpty() || animation.size.width() > (1 << 24) ||
        animation.size.height() > (1 << 24))
        return fail(QStringLiteral("nothing to write"));
    QByteArray body("WEBP");
    QByteArray extended;
    extended.append('\x02'); // animation, no alpha
    extended.append(3, '\0');
    PutLe24(extended, quint32(animation.size.width() - 1));
    PutLe24(extended, quint32(animation.size.height() - 1));
    PutChunk(body, "VP8X", extended);
    QByteArray anim;
    PutLe32(anim, 0xFF000000u); // background: opaque black (B, G, R, A)
    anim.append(char(std::min(animation.loops, 65535) & 0xFF));
    anim.append(char((std::min(animation.loops, 65535) >> 8) & 0xFF));
    PutChunk(body, "ANIM", anim);
    for (int f = 0; f < animation.FrameCount(); ++f) {
        const QImage image = animation.frame(f);
        if (image.size() != animation.size)
            return fail(QStringLiteral("frame %1 is not of the animation's size").arg(f));
        const QByteArray bitstream = BitstreamOf(FrameWebp(image));
        if (bitstream.isEmpty())
            return fail(QStringLiteral("frame %1 could not be made a WebP picture").arg(f));
        QByteArray frame;
        PutLe24(frame, 0); // x / 2
        PutLe24(frame, 0); // y / 2
        PutLe24(frame, quint32(animation.size.width() - 1));
        PutLe24(frame, quint32(animation.size.height() - 1));
        PutLe24(frame, quint32(std::clamp(animation.durationsMs[size_t(f)], 0, (1 << 24) - 1)));
        frame.append('\x02'); // do not blend, do not dispose: every frame is whole
        frame.append(bitstream);
        PutChunk(body, "ANMF", frame);
    }
    QByteArray out("RIFF");
    PutLe32(out, quint32(body.size()));
    out.append(body);
    return out;
}

} // namespace vexa
