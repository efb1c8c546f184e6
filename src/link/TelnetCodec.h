#pragma once

#include "link/SerialSettings.h"

#include <QByteArray>
#include <QByteArrayView>
#include <array>
#include <optional>

namespace vexa {

// The Telnet side of a line behind an RFC 2217 device server. Outgoing data has every
// 0xFF doubled; incoming bytes are split into line data (doubled 0xFF undoubled) and
// Telnet commands. Option requests are answered once each: binary transmission and
// suppress-go-ahead are accepted in both directions, COM port control is offered by us,
// everything else is refused. However many requests a server sends, each kind of request
// (DO, DONT, WILL, WONT) of each option gets one answer at most, so a flood of them costs
// a few kilobytes of answers in all. Server notifications (line and modem state) are
// ignored; the server's confirmation of the baud rate is kept.
class TelnetCodec {
public:
    static constexpr unsigned char Iac = 255;
    static constexpr unsigned char Dont = 254;
    static constexpr unsigned char Do = 253;
    static constexpr unsigned char Wont = 252;
    static constexpr unsigned char Will = 251;
    static constexpr unsigned char Sb = 250;
    static constexpr unsigned char Se = 240;
    static constexpr unsigned char OptionBinary = 0;
    static constexpr unsigned char OptionSuppressGoAhead = 3;
    static constexpr unsigned char OptionComPort = 44;
    // Server replies to a COM port command carry the command plus this offset.
    static constexpr unsigned char ServerOffset = 100;
    static constexpr int MaxSubnegotiation = 64;

    struct Decoded {
        QByteArray data;   // bytes from the line
        QByteArray answer; // Telnet replies to send back at once
    };

    TelnetCodec();

    // What the client says first: binary both ways, and that it will use COM port control.
    QByteArray Greeting() const;
    // The COM port commands that set baud rate, data bits, parity, stop bits and no flow control.
    static QByteArray ComPortSettings(const SerialSettings& settings);
    static QByteArray Escape(QByteArrayView data);

    Decoded Feed(QByteArrayView bytes);

    bool ComPortAccepted() const { return comPortAccepted; }
    bool ComPortRefused() const { return comPortRefused; }
    // The baud rate the server reported after a SET-BAUDRATE, once it did.
    std::optional<int> ServerBaud() const { return serverBaud; }

private:
    enum class State { Data, Command, Option, Subnegotiation, SubnegotiationIac };

    void Negotiate(unsigned char verb, unsigned char option, QByteArray& answer);
    // Appends the answer unless this request of this option was answered before.
    void Answer(unsigned char requestVerb, unsigned char answerVerb, unsigned char option,
                QByteArray& answer);
    void EndSubnegotiation();
    static bool WeAccept(unsigned char option);
    static bool TheyMay(unsigned char option);

    State state = State::Data;
    unsigned char verb = 0;
    QByteArray subnegotiation;
    std::array<bool, 256> ours{};              // options enabled (or requested) on our side
    std::array<bool, 256> theirs{};            // options enabled (or requested) on the server's side
    std::array<unsigned char, 256> answered{}; // per option, a bit per request verb answered
    bool comPortAccepted = false;
    bool comPortRefused = false;
    std::optional<int> serverBaud;
};

} // namespace vexa
