#pragma once

#include <QByteArray>
#include <array>

namespace vexa {

// Packed message data of one row in one set. length may be shorter than bytes when the
// send data was capped; the bytes themselves stay.
struct PayloadEntry {
    QByteArray bytes;
    int length = 0;

    void Clear() {
        bytes.clear();
        length = 0;
    }
    void Assign(QByteArray data) {
        bytes = std::move(data);
        length = static_cast<int>(bytes.size());
    }
};

// Two sets of ten entries: set 0 holds frame 0 (or the red plane), set 1 frame 1
// (or the green plane). Filled before each send, read by the link engine.
struct Payload {
    static constexpr int SetCount = 2;
    static constexpr int RowCount = 10;
    std::array<std::array<PayloadEntry, RowCount>, SetCount> sets;

    PayloadEntry& At(int set, int row) {
        return sets.at(static_cast<size_t>(set)).at(static_cast<size_t>(row));
    }
    const PayloadEntry& At(int set, int row) const {
        return sets.at(static_cast<size_t>(set)).at(static_cast<size_t>(row));
    }
    void Clear() {
        for (auto& set : sets)
            for (auto& entry : set)
                entry.Clear();
    }
};

} // namespace vexa
