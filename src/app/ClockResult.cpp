#include "app/ClockResult.h"

namespace vexa {

ClockResult::Outcome ClockResult::Judge(bool opened, bool frameSent, bool acknowledged) {
    if (!opened)
        return PortNotOpened;
    if (!frameSent)
        return NotSent;
    return acknowledged ? Acknowledged : NotConfirmed;
}

QString ClockResult::Text(Outcome outcome) {
    switch (outcome) {
    case Acknowledged:
        return QStringLiteral("Check Time Ok !");
    case NotConfirmed:
        return QStringLiteral("The clock was sent, but the sign did not confirm it.");
    case NotSent:
    case PortNotOpened:
        break;
    }
    return QStringLiteral("Check time error !");
}

QString ClockResult::Caption(Outcome outcome) {
    switch (outcome) {
    case Acknowledged:
        return QStringLiteral("Information");
    case NotConfirmed:
        return QStringLiteral("Warning");
    case NotSent:
    case PortNotOpened:
        break;
    }
    return QStringLiteral("Error");
}

int ClockResult::ExitStatus(Outcome outcome) {
    switch (outcome) {
    case Acknowledged:
        return 0;
    case NotConfirmed:
        return 4;
    case NotSent:
        return 3;
    case PortNotOpened:
        break;
    }
    return 1;
}

} // namespace vexa
