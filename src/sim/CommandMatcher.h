#pragma once

#include "core/ModelCatalogue.h"

#include <QByteArrayView>
#include <QJsonObject>
#include <vector>

namespace vexa {

// Recognises the command frames a sign of one family obeys besides its message frames:
// power, scan probe, read-ID, set-ID and (except family 3, whose clock rides on a trailer)
// the clock. Table-driven: each command is a byte pattern with wildcards.
class CommandMatcher {
public:
    enum class State { None, Partial, Complete };
    struct Match {
        State state = State::None;
        qsizetype size = 0;
        QJsonObject event;
    };

    explicit CommandMatcher(LinkFamily family);

    // The command at the front of bytes: complete, a prefix of one, or none.
    Match Take(QByteArrayView bytes) const;

private:
    struct Command {
        const char* kind;
        std::vector<int> pattern; // -1 matches any byte
        QJsonObject (*describe)(QByteArrayView frame);
    };
    std::vector<Command> table;
};

} // namespace vexa
