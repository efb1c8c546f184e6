#pragma once

#include <QString>

namespace vexa {

class LanguageTexts;
class SignLink;

// What the ID tool (read a sign's ID, give a sign a new ID) decides and does, without
// widgets. The command leaves the port open; after the reply wait the port is closed and
// the engine's flags tell the outcome.
class IdCommandModel {
public:
    static constexpr int ReplyWaitMs = 600;
    static constexpr int ListCount = 256; // drop-down items "1" ... "256"

    explicit IdCommandModel(SignLink& engine) : link(engine) {}

    // The number typed or chosen in a drop-down; 0 for text that is no whole number.
    static int ParseId(const QString& text);
    // Empty when Set may send current -> next, else the message to show (nothing is sent),
    // in the language of texts (English without).
    static QString CheckSet(int current, int next, const LanguageTexts* texts = nullptr);

    void StartRead();
    // Closes the port; ok when the sign reported its ID, id is that ID. A failure carries
    // why, from what the line answered (nothing, several signs, bytes not understood).
    struct ReadOutcome {
        bool ok = false;
        int id = 0;
        QString reason;
    };
    ReadOutcome FinishRead(const LanguageTexts* texts = nullptr);
    void StartSet(int current, int next);
    ReadOutcome FinishSet(const LanguageTexts* texts = nullptr);

    // What Read and Set report.
    static QString ReadText(bool ok, const LanguageTexts* texts = nullptr);
    static QString SetText(bool ok, const LanguageTexts* texts = nullptr);
    // Why a command found no reply it could take, from the bytes the line left.
    static QString FailureReason(const QByteArray& replies, const LanguageTexts* texts = nullptr);

private:
    QString Reason(const LanguageTexts* texts) const;
    SignLink& link;
};

} // namespace vexa
