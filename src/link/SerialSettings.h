#pragma once

#include <QString>
#include <optional>

namespace vexa {

// A serial settings string such as "9600,n,8,1": baud rate, parity, data bits, stop bits.
struct SerialSettings {
    int baud = 1200;
    char parity = 'n';
    int dataBits = 8;
    int stopBits = 1;

    // Accepts "<baud>,<n|e|o>,<5..8>,<1|2>"; anything else gives nothing.
    static std::optional<SerialSettings> Parse(const QString& text);
    QString ToString() const;

    // Bits one byte takes on the wire (start bit, data, parity, stop bits).
    int BitsPerByte() const { return 1 + dataBits + (parity == 'n' ? 0 : 1) + stopBits; }
};

} // namespace vexa
