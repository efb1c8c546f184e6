#pragma once

#include "core/ModelCatalogue.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QJsonObject>
#include <memory>
#include <vector>

namespace vexa {

class CommandMatcher;

using SimEvents = std::vector<QJsonObject>;

// What a sign makes of the bytes on its line. Bytes arrive in arbitrary chunks; the decoder
// keeps at most one unfinished frame (plus the declared data of the running message) and
// reports every recognised frame as one JSON event ({"event": kind, ...}).
// Subclasses decode the message frames of one protocol family; the command frames shared by
// the families (power, scan, ID, clock) are recognised here through a CommandMatcher.
class SignDecoder {
public:
    static constexpr int MaxUnknownRun = 256;

    explicit SignDecoder(const DisplayModel& model);
    virtual ~SignDecoder();
    SignDecoder(const SignDecoder&) = delete;
    SignDecoder& operator=(const SignDecoder&) = delete;

    // The decoder of a model's family.
    static std::unique_ptr<SignDecoder> ForModel(const DisplayModel& model);

    SimEvents Feed(QByteArrayView chunk);
    // The line went quiet: report what is still pending (an unfinished frame, a message
    // whose end the family cannot tell) and start afresh.
    SimEvents Flush();

    const DisplayModel& Model() const { return signModel; }

protected:
    enum class Parse { Consumed, NeedMore, NotMine };

    // Try to take a frame of the family from the front of pending. On Consumed, used holds
    // the bytes taken. A family in the middle of a multi-frame message takes bytes raw.
    virtual Parse ParseFrame(QByteArrayView pending, qsizetype& used, SimEvents& events) = 0;
    // A byte that neither the family nor the commands recognise as a frame start; true when
    // the family takes it (family 3 message text), false to report it as unknown.
    virtual bool TakeLooseByte(char) { return false; }
    // Report and drop whatever message is half received.
    virtual void FlushFamily(SimEvents&) {}

    static QJsonObject Event(const char* kind);
    int SlotCount() const;

private:
    void ReportUnknown(SimEvents& events);

    const DisplayModel& signModel;
    std::unique_ptr<CommandMatcher> commands;
    QByteArray backlog;
    QByteArray unknown;
};

} // namespace vexa
