#include "sim/CommandMatcher.h"

#include <QDate>
#include <QString>
#include <QTime>

namespace vexa {

namespace {

constexpr int Any = -1;

int Byte(QByteArrayView frame, qsizetype at) {
    return static_cast<unsigned char>(frame.at(at));
}

QJsonObject Named(const char* kind) {
    return QJsonObject{{QStringLiteral("event"), QString::fromLatin1(kind)}};
}

QJsonObject PowerOn(QByteArrayView frame) {
    QJsonObject event = Named("power");
    event.insert(QStringLiteral("id"), Byte(frame, 1));
    event.insert(QStringLiteral("on"), true);
    return event;
}

QJsonObject PowerOff(QByteArrayView frame) {
    QJsonObject event = Named("power");
    event.insert(QStringLiteral("id"), Byte(frame, 1));
    event.insert(QStringLiteral("on"), false);
    return event;
}

QJsonObject Probe(QByteArrayView frame) {
    QJsonObject event = Named("probe");
    event.insert(QStringLiteral("id"), Byte(frame, 1));
    return event;
}

QJsonObject ReadId(QByteArrayView) {
    return Named("read-id");
}

QJsonObject SetIdPlain(QByteArrayView frame) {
    QJsonObject event = Named("set-id");
    event.insert(QStringLiteral("from"), Byte(frame, 1));
    event.insert(QStringLiteral("to"), Byte(frame, 2));
    return event;
}

QJsonObject SetIdAddressed(QByteArrayView frame) {
    QJsonObject event = Named("set-id");
    event.insert(QStringLiteral("from"), Byte(frame, 1));
    event.insert(QStringLiteral("to"), Byte(frame, 3));
    return event;
}

QJsonObject ClockEvent(int year, int month, int day, int hour, int minute, int second, int weekday) {
    QJsonObject event = Named("clock");
    const QDate date(year, month, day);
    const QTime time(hour, minute, second);
    event.insert(QStringLiteral("valid"), date.isValid() && time.isValid());
    event.insert(QStringLiteral("time"), QStringLiteral("%1-%2-%3T%4:%5:%6")
                                             .arg(year, 4, 10, QLatin1Char('0'))
                                             .arg(month, 2, 10, QLatin1Char('0'))
                                             .arg(day, 2, 10, QLatin1Char('0'))
                                             .arg(hour, 2, 10, QLatin1Char('0'))
                                             .arg(minute, 2, 10, QLatin1Char('0'))
                                             .arg(second, 2, 10, QLatin1Char('0')));
    event.insert(QStringLiteral("weekday"), weekday);
    return event;
}

// 25-byte clock: weekday, year (big-endian), month, day, hour, minute, second from byte 13.
QJsonObject WideClock(QByteArrayView frame) {
    return ClockEvent(Byte(frame, 14) * 256 + Byte(frame, 15), Byte(frame, 16), Byte(frame, 17),
                      Byte(frame, 18), Byte(frame, 19), Byte(frame, 20), Byte(frame, 13));
}

// 14-byte clock: second, minute, hour, day, month, weekday, year's low 8 bits from byte 5.
// The year byte is the low 8 bits of the four-digit year: the year meant is the one of
// 2000..2255 with that low byte.
QJsonObject AddressedClock(QByteArrayView frame) {
    const int year = 2000 + ((Byte(frame, 11) - (2000 & 0xFF)) & 0xFF);
    QJsonObject event = ClockEvent(year, Byte(frame, 9), Byte(frame, 8), Byte(frame, 7), Byte(frame, 6),
                                   Byte(frame, 5), Byte(frame, 10));
    event.insert(QStringLiteral("yearByte"), Byte(frame, 11));
    return event;
}

} // namespace

CommandMatcher::CommandMatcher(LinkFamily family) {
    table.push_back({"power on", {0x7E, Any, 0xCF, 0x00, 0xD0, 0x7E}, &PowerOn});
    table.push_back({"power off", {0x7E, Any, 0xCF, 0x01, 0xD1, 0x7E}, &PowerOff});
    table.push_back({"probe", {0x7E, Any, 0xF2, 0x00, 0x00, 0x00, 0x7E}, &Probe});
    if (family == LinkFamily::AddressedBlocks) {
        table.push_back({"set-id", {0x7E, Any, 0x1D, Any, 0x00, 0x7E}, &SetIdAddressed});
        table.push_back({"clock",
                         {0x7E, 0x01, 0xF1, 0x00, 0x00, Any, Any, Any, Any, Any, Any, Any, 0x4D, 0x7E},
                         &AddressedClock});
        return;
    }
    table.push_back({"read-id", {0x48, 0x65, 0x6C, 0x96, 0x6F}, &ReadId});
    table.push_back({"set-id", {0x48, Any, Any, 0x9A, 0x6F}, &SetIdPlain});
    if (family != LinkFamily::SlotTrailer)
        table.push_back({"clock",
                         {0xAA, 0xAA, 0xAA, 0xAA, 0x02, 0x00, 0x00, 0x01, 0x00, 0x08, 0x00, 0x40, 0x10,
                          Any,  Any,  Any,  Any,  Any,  Any,  Any,  Any,  0x02, 0x01, 0x55, 0x88},
                         &WideClock});
}

CommandMatcher::Match CommandMatcher::Take(QByteArrayView bytes) const {
    Match best;
    for (const Command& command : table) {
        const qsizetype size = static_cast<qsizetype>(command.pattern.size());
        const qsizetype compared = std::min(size, bytes.size());
        bool agrees = true;
        for (qsizetype i = 0; i < compared && agrees; ++i) {
            const int expected = command.pattern[static_cast<size_t>(i)];
            agrees = expected == Any || expected == Byte(bytes, i);
        }
        if (!agrees)
            continue;
        if (compared == size)
            return {State::Complete, size, command.describe(bytes.first(size))};
        best.state = State::Partial;
    }
    return best;
}

} // namespace vexa
