#pragma once

#include "core/ModelCatalogue.h"
#include "sim/SignDecoder.h"

#include <QByteArray>
#include <optional>
#include <vector>

namespace vexa {

// Answers the decoded commands as the signs on the line would: scan probes for configured
// IDs, read-ID, set-ID (and the ID change) and the clock acknowledgement of the family.
// Family 5's read-ID is the probe for ID 1: when ID 1 is not on the line, the probe is taken
// as read-ID unless the probe for ID 2 follows within ReadIdWindowMs (a running scan).
class SignResponder {
public:
    enum class Fault { None, Silent, Garbage };
    static constexpr int ReadIdWindowMs = 250;

    struct Outcome {
        std::vector<QByteArray> replies;
        SimEvents events;
    };

    SignResponder(LinkFamily family, std::vector<int> ids, Fault fault = Fault::None);

    Outcome OnEvent(const QJsonObject& event, qint64 nowMs);
    // Replies that were waiting for a deadline that has passed.
    Outcome OnTick(qint64 nowMs);
    std::optional<qint64> Deadline() const { return readIdDeadline; }
    const std::vector<int>& Ids() const { return ids; }

    static QByteArray ScanReply(int id);
    static QByteArray ReadIdReply(int id);
    static QByteArray ClockAcknowledgement(LinkFamily family);

private:
    bool Configured(int id) const;
    void Answer(Outcome& outcome, const char* to, const QByteArray& reply);
    void AnswerReadId(Outcome& outcome);
    QByteArray Noise();

    LinkFamily family;
    std::vector<int> ids;
    Fault fault;
    std::optional<qint64> readIdDeadline;
    quint32 noiseState = 0x2545F491u;
};

} // namespace vexa
