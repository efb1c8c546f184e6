#pragma once

#include <QString>
#include <optional>

namespace vexa {

// A serial line reached over the network: "tcp://HOST:PORT" is a raw byte stream (the line
// settings are fixed at the device server), "rfc2217://HOST:PORT" is Telnet with COM port
// control, so the program sets the line itself. HOST may be a name, an IPv4 address or an
// IPv6 address in brackets ("[::1]").
struct NetworkAddress {
    enum class Protocol { Raw, Rfc2217 };

    Protocol protocol = Protocol::Raw;
    QString host;
    int port = 0;

    // True when the name asks for a network line (its scheme is tcp:// or rfc2217://),
    // whether or not the rest is well formed.
    static bool IsNetworkName(const QString& name);
    // The address of a well-formed name; nothing otherwise (a missing host or port, a
    // port outside 1..65535, anything after the port).
    static std::optional<NetworkAddress> Parse(const QString& name);
    QString ToString() const;

    friend bool operator==(const NetworkAddress&, const NetworkAddress&) = default;
};

} // namespace vexa
