#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QString>
#include <optional>

namespace vexa {

// What a link verb reports, as it happens, to a program that runs `vexa` as its child (the
// fleet): one line per event on stderr, "vexa-event " and a JSON object, written only when
// the environment variable VEXA_EVENTS is 1. Every sign that starts gets exactly one end,
// even when it is passed over, so the parent always knows which signs were done.
//
//   {"event":"progress","percent":40}
//   {"event":"sign","id":3}                                  a sign starts
//   {"event":"end","id":3,"result":0,"text":"OK!","reason":""}  its outcome (result: the
//       link's code, NotSent when it was passed over)
//   {"event":"interrupted","signal":15,"id":3}               stopped by a signal during sign 3
class CliEvents {
public:
    static constexpr const char* Prefix = "vexa-event ";
    static constexpr const char* EnvironmentName = "VEXA_EVENTS";
    static constexpr int NotSent = -1;

    CliEvents();

    bool Enabled() const { return enabled; }
    void Progress(int percent);
    // A sign starts; one that started before and got no end was passed over (its data
    // declined by the size question): it ends as not sent with passedOverReason.
    void Started(int id, const QString& passedOverReason = QString());
    // text: what the outcome is called; empty takes the link's text for result.
    void Ended(int id, int result, const QString& reason = QString(), const QString& text = QString());
    // Ends a sign still open at the end of the operation as not sent.
    void Finish(const QString& reason);
    void Interrupted(int signalNumber);
    int OpenSign() const { return openSign; }

    // The event of a line of the child's stderr; nothing for any other line.
    static std::optional<QJsonObject> Parse(QByteArrayView line);

private:
    void Emit(const QJsonObject& event) const;

    bool enabled = false;
    int lastPercent = -1;
    int openSign = -1; // the sign that started and has not ended
};

} // namespace vexa
