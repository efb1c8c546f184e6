#pragma once

#include "sim/SignDecoder.h"

#include <vector>

namespace vexa {

// Families 0, 1, 4: a pass header, a directory of 5 × slots + 2 bytes, then the sliced data
// block whose size the directory declares (slice count × the sum of the slice lengths).
// Reports "pass", "directory", one "message" per slot with data, and "padding" for the zero
// bytes that fill a block whose entries were not whole slices.
class RowDirectoryDecoder : public SignDecoder {
public:
    explicit RowDirectoryDecoder(const DisplayModel& model);

    int SliceCount() const { return sliceCount; }

protected:
    Parse ParseFrame(QByteArrayView pending, qsizetype& used, SimEvents& events) override;
    void FlushFamily(SimEvents& events) override;

private:
    enum class Stage { Idle, Directory, Data };
    struct SlotEntry {
        int attribute = 0;
        int offset = 0;
        int sliceLength = 0;
    };

    Parse ParseHeader(QByteArrayView pending, qsizetype& used, SimEvents& events);
    void DecodeDirectory(QByteArrayView frame, SimEvents& events);
    void DeliverBlock(SimEvents& events);
    void ReportPadding(SimEvents& events);

    int sliceCount = 12;
    bool secondHeaders = false;
    Stage stage = Stage::Idle;
    int pass = 0;
    std::vector<SlotEntry> directory;
    qsizetype blockSize = 0;
    QByteArray block;
    bool afterBlock = false;
    int padding = 0;
};

} // namespace vexa
