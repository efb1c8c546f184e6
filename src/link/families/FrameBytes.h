#pragma once

#include <QByteArray>
#include <initializer_list>

namespace vexa {

// Small byte helpers shared by the frame builders of every protocol family.
struct FrameBytes {
    // A frame written as a list of byte values (each taken modulo 256).
    static QByteArray Of(std::initializer_list<int> values) {
        QByteArray bytes;
        bytes.reserve(static_cast<qsizetype>(values.size()));
        for (int value : values)
            bytes.append(static_cast<char>(value & 0xFF));
        return bytes;
    }

    static void Put(QByteArray& frame, qsizetype at, int value) {
        frame[at] = static_cast<char>(value & 0xFF);
    }

    // Big-endian 16-bit count at [at, at + 1].
    static void PutWord(QByteArray& frame, qsizetype at, int value) {
        Put(frame, at, value >> 8);
        Put(frame, at + 1, value);
    }

    static int At(const QByteArray& frame, qsizetype at) { return static_cast<unsigned char>(frame.at(at)); }

    // Truncated percentage done / total; 0 when there is nothing to count.
    static int Percent(qint64 done, qint64 total) {
        return total > 0 ? static_cast<int>(done * 100 / total) : 0;
    }
};

} // namespace vexa
