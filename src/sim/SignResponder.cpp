#include "sim/SignResponder.h"

#include "link/families/FrameBytes.h"

#include <QString>
#include <algorithm>

namespace vexa {

namespace {

int Field(const QJsonObject& event, const char* name) {
    return event.value(QLatin1String(name)).toInt();
}

} // namespace

SignResponder::SignResponder(LinkFamily linkFamily, std::vector<int> signIds, Fault faultMode)
    : family(linkFamily), ids(std::move(signIds)), fault(faultMode) {}

QByteArray SignResponder::ScanReply(int id) {
    return FrameBytes::Of({0xCC, 0x42, 0x00, 0x1A, 0x00, 0x40, 0x10, id});
}

QByteArray SignResponder::ReadIdReply(int id) {
    return FrameBytes::Of({0x84, 0x65, 0x9C, 0x5A, id});
}

QByteArray SignResponder::ClockAcknowledgement(LinkFamily linkFamily) {
    switch (linkFamily) {
    case LinkFamily::SlotTrailer:
        return FrameBytes::Of({0xCC});
    case LinkFamily::AddressedBlocks: {
        QByteArray ack = FrameBytes::Of({0x7E, 0x01, 0xF1, 0x00});
        ack.append(8, '\0');
        ack.append(FrameBytes::Of({0x4D, 0x7E}));
        return ack;
    }
    default: {
        QByteArray ack(16, '\0');
        std::fill_n(ack.data(), 4, '\x55');
        return ack;
    }
    }
}

bool SignResponder::Configured(int id) const {
    return std::find(ids.begin(), ids.end(), id) != ids.end();
}

// Noise never has the length of a recognised reply (1, 5, 8, 14, 16 bytes).
QByteArray SignResponder::Noise() {
    static constexpr int Lengths[] = {2, 3, 4, 6, 7, 9};
    noiseState = noiseState * 1664525u + 1013904223u;
    QByteArray noise;
    const int length = Lengths[(noiseState >> 24) % 6];
    for (int i = 0; i < length; ++i) {
        noiseState = noiseState * 1664525u + 1013904223u;
        noise.append(static_cast<char>(noiseState >> 24));
    }
    return noise;
}

void SignResponder::Answer(Outcome& outcome, const char* to, const QByteArray& reply) {
    if (fault == Fault::Silent)
        return;
    const QByteArray bytes = fault == Fault::Garbage ? Noise() : reply;
    outcome.replies.push_back(bytes);
    outcome.events.push_back(QJsonObject{{QStringLiteral("event"), QStringLiteral("reply")},
                                         {QStringLiteral("to"), QString::fromLatin1(to)},
                                         {QStringLiteral("data"), QString::fromLatin1(bytes.toHex())}});
}

void SignResponder::AnswerReadId(Outcome& outcome) {
    for (int id : ids)
        Answer(outcome, "read-id", family == LinkFamily::AddressedBlocks ? ScanReply(id) : ReadIdReply(id));
}

SignResponder::Outcome SignResponder::OnEvent(const QJsonObject& event, qint64 nowMs) {
    Outcome outcome = OnTick(nowMs);
    const QString kind = event.value(QStringLiteral("event")).toString();
    if (kind == QLatin1String("probe")) {
        const int id = Field(event, "id");
        if (readIdDeadline && id == 2)
            readIdDeadline.reset();
        if (family == LinkFamily::AddressedBlocks && id == 1 && !Configured(1) && !ids.empty())
            readIdDeadline = nowMs + ReadIdWindowMs;
        else if (Configured(id))
            Answer(outcome, "probe", ScanReply(id));
    } else if (kind == QLatin1String("read-id")) {
        AnswerReadId(outcome);
    } else if (kind == QLatin1String("set-id")) {
        const int from = Field(event, "from");
        const int to = Field(event, "to");
        const auto found = std::find(ids.begin(), ids.end(), from);
        if (found != ids.end()) {
            *found = to;
            outcome.events.push_back(QJsonObject{{QStringLiteral("event"), QStringLiteral("id-changed")},
                                                 {QStringLiteral("from"), from},
                                                 {QStringLiteral("to"), to}});
            Answer(outcome, "set-id", FrameBytes::Of({0xCC}));
        }
    } else if (kind == QLatin1String("clock")) {
        Answer(outcome, "clock", ClockAcknowledgement(family));
    }
    return outcome;
}

SignResponder::Outcome SignResponder::OnTick(qint64 nowMs) {
    Outcome outcome;
    if (readIdDeadline && nowMs >= *readIdDeadline) {
        readIdDeadline.reset();
        AnswerReadId(outcome);
    }
    return outcome;
}

} // namespace vexa
