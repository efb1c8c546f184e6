#include "sim/SlotTrailerDecoder.h"

#include "link/families/slot_trailer/SlotTrailerFamily.h"

#include <QRegularExpression>
#include <QString>
#include <QTime>
#include <algorithm>

namespace vexa {

namespace {

constexpr int TrailerSize = SlotTrailerFamily::TrailerSize;
const char TrailerLead[] = "\xFA\xAF\xFF\xFF";

int Byte(QByteArrayView frame, qsizetype at) {
    return static_cast<unsigned char>(frame.at(at));
}

} // namespace

SlotTrailerDecoder::SlotTrailerDecoder(const DisplayModel& model) : SignDecoder(model) {}

SlotTrailerDecoder::Parse SlotTrailerDecoder::ParseFrame(QByteArrayView pending, qsizetype& used,
                                                         SimEvents& events) {
    const QByteArrayView lead(TrailerLead, 4);
    const qsizetype compared = std::min<qsizetype>(4, pending.size());
    if (pending.first(compared) == lead.first(compared)) {
        if (pending.size() < TrailerSize)
            return Parse::NeedMore;
        used = TrailerSize;
        DecodeTrailer(pending.first(TrailerSize), events);
        return Parse::Consumed;
    }
    if (message.isEmpty() || message.size() >= MaxMessageBytes)
        return Parse::NotMine;
    // Inside a message: everything up to the next possible trailer is text.
    const qsizetype end = std::find(pending.begin(), pending.end(), '\xFA') - pending.begin();
    used = std::min(std::max<qsizetype>(end, 1), MaxMessageBytes - message.size());
    message.append(pending.first(used));
    return Parse::Consumed;
}

bool SlotTrailerDecoder::TakeLooseByte(char byte) {
    if (message.size() >= MaxMessageBytes)
        return false;
    message.append(byte);
    return true;
}

bool SlotTrailerDecoder::ClockTrailer(QByteArrayView trailer) const {
    static const QRegularExpression timeText(QStringLiteral("^\\d\\d:\\d\\d:\\d\\d$"));
    return Byte(trailer, 4) == 0x30 && Byte(trailer, 5) == 0x33 && Byte(trailer, 6) == 0x30 &&
           Byte(trailer, 11) == 0x7A && timeText.match(QString::fromLatin1(message)).hasMatch();
}

void SlotTrailerDecoder::DecodeTrailer(QByteArrayView trailer, SimEvents& events) {
    if (ClockTrailer(trailer)) {
        QJsonObject event = Event("clock");
        event.insert(QStringLiteral("valid"),
                     QTime::fromString(QString::fromLatin1(message), QStringLiteral("HH:mm:ss")).isValid());
        event.insert(QStringLiteral("time"), QString::fromLatin1(message));
        events.push_back(event);
        message.clear();
        return;
    }
    QJsonObject event = Event("message");
    const int slot = Byte(trailer, 4) - 0x30;
    event.insert(QStringLiteral("slot"), slot);
    event.insert(QStringLiteral("validSlot"), slot >= 0 && slot < SlotCount());
    event.insert(QStringLiteral("speed"), Byte(trailer, 5));
    event.insert(QStringLiteral("effect"), Byte(trailer, 6));
    event.insert(QStringLiteral("send"), Byte(trailer, 11) == 0x5A);
    event.insert(QStringLiteral("length"), int(message.size()));
    event.insert(QStringLiteral("data"), QString::fromLatin1(message.toHex()));
    event.insert(QStringLiteral("text"), QString::fromLatin1(message));
    events.push_back(event);
    message.clear();
}

void SlotTrailerDecoder::FlushFamily(SimEvents& events) {
    if (message.isEmpty())
        return;
    QJsonObject event = Event("incomplete");
    event.insert(QStringLiteral("length"), int(message.size()));
    event.insert(QStringLiteral("data"), QString::fromLatin1(message.toHex()));
    events.push_back(event);
    message.clear();
}

} // namespace vexa
