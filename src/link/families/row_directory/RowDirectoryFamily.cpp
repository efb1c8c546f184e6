#include "link/families/row_directory/RowDirectoryFamily.h"

#include "link/families/FrameBytes.h"
#include "link/families/FrameLabels.h"
#include "link/families/PayloadView.h"

#include <algorithm>
#include <array>

namespace vexa {

namespace {

constexpr int HeaderSize = 5;
constexpr int AddressByte = 2;

// Pass headers by header set and pass.
constexpr std::array<std::array<std::array<int, HeaderSize>, 2>, 2> PassHeaders{{
    {{{0x48, 0x65, 0x6C, 0x6C, 0x6F}, {0x96, 0x05, 0x0F, 0xAA, 0xAA}}},
    {{{0x48, 0x65, 0x6C, 0x6C, 0x6F}, {0x48, 0x65, 0x96, 0x5A, 0xF0}}},
}};

int DirectorySize(int slotCount) {
    return 5 * slotCount + 2;
}

QString DirectoryLabel(const PayloadView& view, int pass, qsizetype dataBytes) {
    QStringList selected;
    for (int j = 0; j < view.SlotCount(); ++j)
        if (view.Selected(j))
            selected << QString::number(j);
    return QStringLiteral("pass %1 directory: slots %2; %3 data bytes")
        .arg(pass)
        .arg(selected.join(QStringLiteral(", ")))
        .arg(dataBytes);
}

// A piece never crosses a slice, so its first byte names the slice it belongs to.
QString PieceLabel(int pass, int position, int size, qsizetype dataBytes, int sliceCount) {
    const qsizetype width = sliceCount > 0 ? dataBytes / sliceCount : 0;
    QString label = QStringLiteral("pass %1 data %2-%3 of %4")
                        .arg(pass)
                        .arg(position)
                        .arg(position + size - 1)
                        .arg(dataBytes);
    if (width > 0 && position / width < sliceCount)
        label += QStringLiteral(", slice %1 of %2").arg(position / width).arg(sliceCount);
    return label;
}

} // namespace

RowDirectoryFamily::Params RowDirectoryFamily::ParamsFor(LinkFamily family, int rows) {
    switch (family) {
    case LinkFamily::RowDirectory12:
        return {12, HeaderSet::First, 0};
    case LinkFamily::RowDirectoryPaired:
        return {rows, HeaderSet::Second, SecondPassPauseMs};
    default:
        return {rows, HeaderSet::First, 0};
    }
}

QByteArray RowDirectoryFamily::PassHeader(HeaderSet headers, int pass, bool address485, int id) {
    const auto& values = PassHeaders.at(headers == HeaderSet::First ? 0 : 1).at(pass == 0 ? 0 : 1);
    QByteArray header;
    for (int value : values)
        header.append(static_cast<char>(value));
    if (address485)
        FrameBytes::Put(header, AddressByte, id);
    return header;
}

int RowDirectoryFamily::AttributeByte(const SlotParams& slot) {
    return ((slot.speed + 8 * slot.marquee) * 16 + slot.effect + 8 * slot.blink) & 0xFF;
}

QByteArray RowDirectoryFamily::DirectoryFrame(const SendInputs& inputs, int set, int sliceCount) {
    const PayloadView view(inputs);
    const int slotCount = view.SlotCount();
    QByteArray frame(DirectorySize(slotCount), '\0');
    int offset = 0;
    for (int j = 0; j < slotCount; ++j) {
        FrameBytes::Put(frame, 1 + j, AttributeByte(view.Params(j)));
        const int sliceLength = view.Selected(j) && sliceCount > 0 ? view.Length(set, j) / sliceCount : 0;
        const qsizetype at = slotCount + 2 + 4 * j;
        FrameBytes::Put(frame, at, 0x08 + ((offset >> 8) & 0x07));
        FrameBytes::Put(frame, at + 1, offset);
        FrameBytes::PutWord(frame, at + 2, sliceLength);
        offset += sliceLength;
    }
    return frame;
}

QByteArray RowDirectoryFamily::DataBlock(const SendInputs& inputs, int set, int sliceCount) {
    const PayloadView view(inputs);
    qsizetype total = 0;
    for (int j = 0; j < view.SlotCount(); ++j)
        if (view.Selected(j))
            total += view.Length(set, j);
    QByteArray block(total, '\0');
    if (sliceCount <= 0)
        return block;
    qsizetype at = 0;
    for (int r = 0; r < sliceCount; ++r) {
        for (int j = 0; j < view.SlotCount(); ++j) {
            if (!view.Selected(j))
                continue;
            const QByteArrayView entry = view.Entry(set, j);
            const qsizetype sliceLength = entry.size() / sliceCount;
            std::copy_n(entry.data() + r * sliceLength, sliceLength, block.data() + at);
            at += sliceLength;
        }
    }
    return block;
}

std::vector<RowDirectoryFamily::Piece> RowDirectoryFamily::Pieces(int dataSize, int sliceCount) {
    std::vector<Piece> pieces;
    const int width = sliceCount > 0 ? dataSize / sliceCount : 0;
    int position = 0;
    while (position < dataSize) {
        const int toBoundary = 256 - position % 256;
        // A block shorter than the slice count has no slice width to respect.
        const int toSliceEnd = width > 0 ? width - position % width : toBoundary;
        Piece piece = toSliceEnd < toBoundary ? Piece{toSliceEnd, PiecePauseMs}
                                              : Piece{toBoundary, PieceBoundaryPauseMs};
        // Lengths that are not whole slices leave a tail shorter than a slice: never run past it.
        piece.size = std::min(piece.size, dataSize - position);
        pieces.push_back(piece);
        position += piece.size;
    }
    return pieces;
}

qint64 RowDirectoryFamily::PassTotal(const SendInputs& inputs, int set) {
    const PayloadView view(inputs);
    qint64 total = 0;
    for (int j = 0; j < view.SlotCount(); ++j)
        if (view.Selected(j))
            total += view.Length(set, j);
    return total > 0 ? total + HeaderSize + DirectorySize(view.SlotCount()) : 0;
}

FrameSequence RowDirectoryFamily::Sequence(const SendInputs& inputs) {
    return Sequence(inputs, ParamsFor(inputs.family, inputs.rows));
}

FrameSequence RowDirectoryFamily::Sequence(const SendInputs& inputs, const Params& params) {
    const PayloadView view(inputs);
    const std::array<qint64, 2> passTotals{PassTotal(inputs, 0), PassTotal(inputs, 1)};
    const qint64 grandTotal = passTotals[0] + passTotals[1];
    const qint64 headerAndDirectory = HeaderSize + DirectorySize(view.SlotCount());

    FrameSequence steps;
    qint64 earlier = 0;
    for (int pass = 0; pass < 2; ++pass) {
        if (pass == 1 && params.pauseBeforeSecondPassMs > 0)
            steps.push_back(
                {QByteArray(), params.pauseBeforeSecondPassMs, -1, QStringLiteral("pause before pass 1")});
        if (passTotals.at(static_cast<size_t>(pass)) == 0)
            continue;
        steps.push_back({PassHeader(params.headers, pass, inputs.address485, view.IdByte()), 0,
                         FrameBytes::Percent(earlier + HeaderSize, grandTotal),
                         QStringLiteral("pass %1 start").arg(pass) +
                             FrameLabels::SignSuffix(inputs.address485, view.IdByte())});
        const QByteArray block = DataBlock(inputs, pass, params.sliceCount);
        steps.push_back({DirectoryFrame(inputs, pass, params.sliceCount), DirectoryPauseMs,
                         FrameBytes::Percent(earlier + headerAndDirectory, grandTotal),
                         DirectoryLabel(view, pass, block.size())});
        int position = 0;
        for (const Piece& piece : Pieces(static_cast<int>(block.size()), params.sliceCount)) {
            const QByteArray bytes = block.mid(position, piece.size);
            const QString label = PieceLabel(pass, position, piece.size, block.size(), params.sliceCount);
            position += piece.size;
            steps.push_back({bytes, piece.pauseAfterMs,
                             FrameBytes::Percent(earlier + headerAndDirectory + position, grandTotal),
                             label});
        }
        earlier += passTotals.at(static_cast<size_t>(pass));
    }
    return steps;
}

} // namespace vexa
