#include "link/TelnetCodec.h"

namespace vexa {

namespace {

constexpr unsigned char kSetBaudRate = 1;
constexpr unsigned char kSetDataSize = 2;
constexpr unsigned char kSetParity = 3;
constexpr unsigned char kSetStopSize = 4;
constexpr unsigned char kSetControl = 5;
constexpr unsigned char kNoFlowControl = 1;

QByteArray Command(unsigned char verb, unsigned char option) {
    QByteArray bytes;
    bytes.append(static_cast<char>(TelnetCodec::Iac));
    bytes.append(static_cast<char>(verb));
    bytes.append(static_cast<char>(option));
    return bytes;
}

QByteArray ComPortCommand(unsigned char command, QByteArrayView value) {
    QByteArray bytes;
    bytes.append(static_cast<char>(TelnetCodec::Iac));
    bytes.append(static_cast<char>(TelnetCodec::Sb));
    bytes.append(static_cast<char>(TelnetCodec::OptionComPort));
    bytes.append(static_cast<char>(command));
    bytes.append(TelnetCodec::Escape(value));
    bytes.append(static_cast<char>(TelnetCodec::Iac));
    bytes.append(static_cast<char>(TelnetCodec::Se));
    return bytes;
}

} // namespace

TelnetCodec::TelnetCodec() {
    ours[OptionBinary] = true;
    ours[OptionComPort] = true;
    theirs[OptionBinary] = true;
}

QByteArray TelnetCodec::Greeting() const {
    return Command(Will, OptionBinary) + Command(Do, OptionBinary) + Command(Will, OptionComPort);
}

QByteArray TelnetCodec::ComPortSettings(const SerialSettings& settings) {
    const auto baud = static_cast<quint32>(settings.baud);
    const char baudBytes[4] = {static_cast<char>(baud >> 24), static_cast<char>(baud >> 16),
                               static_cast<char>(baud >> 8), static_cast<char>(baud)};
    const char parity = settings.parity == 'o' ? 2 : settings.parity == 'e' ? 3 : 1;
    const char dataBits = static_cast<char>(settings.dataBits);
    const char stopBits = static_cast<char>(settings.stopBits == 2 ? 2 : 1);
    const char control = static_cast<char>(kNoFlowControl);
    return ComPortCommand(kSetBaudRate, QByteArrayView(baudBytes, 4)) +
           ComPortCommand(kSetDataSize, QByteArrayView(&dataBits, 1)) +
           ComPortCommand(kSetParity, QByteArrayView(&parity, 1)) +
           ComPortCommand(kSetStopSize, QByteArrayView(&stopBits, 1)) +
           ComPortCommand(kSetControl, QByteArrayView(&control, 1));
}

QByteArray TelnetCodec::Escape(QByteArrayView data) {
    QByteArray out;
    out.reserve(data.size() + 8);
    for (const char c : data) {
        out.append(c);
        if (static_cast<unsigned char>(c) == Iac)
            out.append(c);
    }
    return out;
}

bool TelnetCodec::WeAccept(unsigned char option) {
    return option == OptionBinary || option == OptionSuppressGoAhead || option == OptionComPort;
}

bool TelnetCodec::TheyMay(unsigned char option) {
    return option == OptionBinary || option == OptionSuppressGoAhead;
}

void TelnetCodec::Answer(unsigned char requestVerb, unsigned char answerVerb, unsigned char option,
                         QByteArray& answer) {
    const auto bit = static_cast<unsigned char>(1u << (requestVerb - Will));
    if (answered[option] & bit)
        return;
    answered[option] |= bit;
    answer += Command(answerVerb, option);
}

// Answers a request only when it changes an option's state, so two ends never echo
// acknowledgements back and forth.
void TelnetCodec::Negotiate(unsigned char command, unsigned char option, QByteArray& answer) {
    switch (command) {
    case Do:
        if (option == OptionComPort)
            comPortAccepted = true;
        if (ours[option])
            return;
        ours[option] = WeAccept(option);
        Answer(command, ours[option] ? Will : Wont, option, answer);
        return;
    case Dont:
        if (option == OptionComPort)
            comPortRefused = true;
        if (ours[option]) {
            ours[option] = false;
            Answer(command, Wont, option, answer);
        }
        return;
    case Will:
        if (theirs[option])
            return;
        theirs[option] = TheyMay(option);
        Answer(command, theirs[option] ? Do : Dont, option, answer);
        return;
    case Wont:
        if (theirs[option]) {
            theirs[option] = false;
            Answer(command, Dont, option, answer);
        }
        return;
    default:
        return;
    }
}

void TelnetCodec::EndSubnegotiation() {
    const QByteArray& sb = subnegotiation;
    if (sb.size() >= 6 && static_cast<unsigned char>(sb.at(0)) == OptionComPort &&
        static_cast<unsigned char>(sb.at(1)) == ServerOffset + kSetBaudRate) {
        quint32 baud = 0;
        for (int i = 2; i < 6; ++i)
            baud = (baud << 8) | static_cast<unsigned char>(sb.at(i));
        serverBaud = static_cast<int>(baud & 0x7fffffff);
    }
    subnegotiation.clear();
}

TelnetCodec::Decoded TelnetCodec::Feed(QByteArrayView bytes) {
    Decoded out;
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        switch (state) {
        case State::Data:
            if (byte == Iac)
                state = State::Command;
            else
                out.data.append(c);
            break;
        case State::Command:
            if (byte == Iac) {
                out.data.append(c);
                state = State::Data;
            } else if (byte >= Will) {
                verb = byte;
                state = State::Option;
            } else if (byte == Sb) {
                subnegotiation.clear();
                state = State::Subnegotiation;
            } else {
                state = State::Data; // NOP, go-ahead and the other one-byte commands
            }
            break;
        case State::Option:
            Negotiate(verb, byte, out.answer);
            state = State::Data;
            break;
        case State::Subnegotiation:
            if (byte == Iac)
                state = State::SubnegotiationIac;
            else if (subnegotiation.size() < MaxSubnegotiation)
                subnegotiation.append(c);
            break;
        case State::SubnegotiationIac:
            if (byte == Iac) {
                if (subnegotiation.size() < MaxSubnegotiation)
                    subnegotiation.append(c);
                state = State::Subnegotiation;
            } else {
                // IAC SE ends it; any other command ends a malformed one as well.
                EndSubnegotiation();
                verb = byte;
                state = byte >= Will ? State::Option : State::Data;
            }
            break;
        }
    }
    return out;
}

} // namespace vexa
