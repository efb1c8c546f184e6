#include "link/ReplyBuffer.h"

#include <algorithm>
#include <cstring>

namespace vexa {

int ReplyBuffer::Accumulate(const char* data, int length) {
    if (!data || length <= 0)
        return count;
    if (count + length >= Capacity) {
        // Restart with this chunk; of a chunk larger than the buffer only the newest
        // bytes fit.
        const int keep = std::min(length, Capacity);
        bytes.fill(0);
        std::memcpy(bytes.data(), data + (length - keep), static_cast<size_t>(keep));
        count = keep;
    } else {
        std::memcpy(bytes.data() + count, data, static_cast<size_t>(length));
        count += length;
    }
    return count;
}

bool ReplyBuffer::Starts(std::initializer_list<unsigned char> lead) const {
    return static_cast<int>(lead.size()) <= count && std::equal(lead.begin(), lead.end(), bytes.begin());
}

ReplyBuffer::Outcome ReplyBuffer::Classify() {
    Outcome outcome;
    switch (count) {
    case 1:
        if (Starts({0xCC}))
            outcome.reply = Reply::Ack;
        break;
    case 5:
        if (Starts({0x84, 0x65, 0x9C, 0x5A})) {
            outcome.reply = Reply::IdReply;
            outcome.id = bytes[4];
        } else {
            outcome.mismatch = true;
        }
        break;
    case 8:
        if (Starts({0xCC, 0x42, 0x00, 0x1A, 0x00, 0x40, 0x10})) {
            outcome.reply = Reply::ScanReply;
            outcome.id = bytes[7];
        }
        break;
    case 14:
        if (Starts({0x7E, 0x01, 0xF1, 0x00}))
            outcome.reply = Reply::ClockAck;
        break;
    case 16:
        if (Starts({0x55, 0x55, 0x55, 0x55}))
            outcome.reply = Reply::GenericAck;
        else
            outcome.mismatch = true;
        break;
    default:
        break;
    }
    if (outcome.reply != Reply::None)
        Clear();
    return outcome;
}

QList<int> ReplyBuffer::AnsweredIds(const QByteArray& held) {
    static const QByteArray idLead = QByteArray::fromHex("84659C5A");
    static const QByteArray scanLead = QByteArray::fromHex("CC42001A004010");
    QList<int> ids;
    qsizetype at = 0;
    while (at < held.size()) {
        const QByteArrayView rest = QByteArrayView(held).sliced(at);
        const QByteArray* lead = rest.startsWith(idLead)     ? &idLead
                                 : rest.startsWith(scanLead) ? &scanLead
                                                             : nullptr;
        if (!lead || rest.size() <= lead->size())
            return {};
        ids.append(static_cast<unsigned char>(rest[lead->size()]));
        at += lead->size() + 1;
    }
    return ids;
}

QByteArray ReplyBuffer::Contents() const {
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), count);
}

void ReplyBuffer::Clear() {
    bytes.fill(0);
    count = 0;
}

} // namespace vexa
