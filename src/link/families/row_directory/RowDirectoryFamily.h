#pragma once

#include "link/FrameStep.h"
#include "link/families/SendInputsAccess.h"

#include <QByteArray>
#include <vector>

namespace vexa {

// Families 0, 1 and 4: two passes (one per data set), each a pass header, a directory of
// attribute bytes and per-slot offsets, and a data block sliced row by row and split into
// pieces that never cross a multiple of 256 bytes or of one slice width.
class RowDirectoryFamily {
public:
    enum class HeaderSet { First, Second };

    struct Params {
        int sliceCount = 12;
        HeaderSet headers = HeaderSet::First;
        int pauseBeforeSecondPassMs = 0;
    };

    // One piece of a data block: its size and the pause after it.
    struct Piece {
        int size = 0;
        int pauseAfterMs = 0;
        friend bool operator==(const Piece&, const Piece&) = default;
    };

    static constexpr int DirectoryPauseMs = 330;
    static constexpr int PieceBoundaryPauseMs = 330;
    static constexpr int PiecePauseMs = 30;
    static constexpr int SecondPassPauseMs = 320;

    // Slice count and header set of family 0 (12 slices), 1 (rows) and 4 (rows, second
    // headers, 320 ms before the second pass).
    static Params ParamsFor(LinkFamily family, int rows);

    // The whole send: pass 0 then pass 1. Family 4's 320 ms before pass 1 is a pause-only
    // step (empty bytes) placed between the passes, present whether or not a pass sends.
    static FrameSequence Sequence(const SendInputs& inputs);
    static FrameSequence Sequence(const SendInputs& inputs, const Params& params);

    static QByteArray PassHeader(HeaderSet headers, int pass, bool address485, int id);
    static QByteArray DirectoryFrame(const SendInputs& inputs, int set, int sliceCount);
    static int AttributeByte(const SlotParams& slot);
    // The D bytes of a pass: slice by slice, the slice of every selected slot in order.
    static QByteArray DataBlock(const SendInputs& inputs, int set, int sliceCount);
    static std::vector<Piece> Pieces(int dataSize, int sliceCount);
    // Bytes of one pass on the wire (header, directory and data); 0 when it sends nothing.
    static qint64 PassTotal(const SendInputs& inputs, int set);
};

} // namespace vexa
