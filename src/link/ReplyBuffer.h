#pragma once

#include <QByteArray>
#include <QList>
#include <array>

namespace vexa {

// The 512-byte accumulator of sign replies. Replies are told apart by the total number
// of bytes held and their leading bytes, so a reply is recognised only when it arrives
// alone in an empty buffer. Chunks larger than the buffer keep their newest bytes.
class ReplyBuffer {
public:
    static constexpr int Capacity = 512;

    enum class Reply {
        None,       // nothing recognised; the bytes stay
        Ack,        // CC
        IdReply,    // 84 65 9C 5A id
        ScanReply,  // CC 42 00 1A 00 40 10 id
        ClockAck,   // 7E 01 F1 00 + 10 bytes
        GenericAck, // 55 55 55 55 + 12 bytes
    };

    struct Outcome {
        Reply reply = Reply::None;
        int id = 0;            // the ID byte of IdReply and ScanReply
        bool mismatch = false; // 5 or 16 bytes held whose leading bytes are wrong
    };

    // Appends a chunk (restarting the buffer when it would reach the capacity) and
    // returns the number of bytes held afterwards.
    int Accumulate(const char* data, int length);
    // Looks the held bytes up; a recognised reply empties the buffer.
    Outcome Classify();

    // The IDs of held bytes that are ID replies (84 65 9C 5A id) or scan replies
    // (CC 42 00 1A 00 40 10 id) one after the other, as several signs answering one command
    // leave them; empty when the bytes are anything else.
    static QList<int> AnsweredIds(const QByteArray& held);

    int Count() const { return count; }
    QByteArray Contents() const;
    void Clear();

private:
    bool Starts(std::initializer_list<unsigned char> lead) const;

    std::array<unsigned char, Capacity> bytes{};
    int count = 0;
};

} // namespace vexa
