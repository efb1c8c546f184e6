// The Telnet side of an RFC 2217 line: any bytes a server sends decode without harm, the
// same however they are split into reads; line data goes out and comes back unchanged; and
// the answers stay within a few kilobytes however many requests come.
#include "link/TelnetCodec.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

using namespace vexa;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    TelnetCodec whole;
    const TelnetCodec::Decoded all = whole.Feed(bytes);
    const qsizetype cut = size == 0 ? 0 : data[0] % static_cast<qsizetype>(size + 1);
    TelnetCodec pieces;
    const TelnetCodec::Decoded first = pieces.Feed(bytes.left(cut));
    const TelnetCodec::Decoded second = pieces.Feed(bytes.mid(cut));
    if (all.data != first.data + second.data || all.answer != first.answer + second.answer)
        std::abort();
    if (whole.ServerBaud() != pieces.ServerBaud() || whole.ComPortAccepted() != pieces.ComPortAccepted())
        std::abort();
    // One answer of three bytes per request kind and option at most.
    if (all.answer.size() > 4 * 256 * 3)
        std::abort();
    TelnetCodec back;
    if (back.Feed(TelnetCodec::Escape(bytes)).data != bytes)
        std::abort();
    return 0;
}
