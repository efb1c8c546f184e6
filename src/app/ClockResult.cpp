#include "app/ClockResult.h"

#include "store/LanguageTexts.h"

namespace vexa {

ClockResult::Outcome ClockResult::Judge(bool opened, bool frameSent, bool acknowledged) {
    if (!opened)
        return PortNotOpened;
    if (!frameSent)
        return NotSent;
    return acknowledged ? Acknowledged : NotConfirmed;
}

QString ClockResult::Text(Outcome outcome, const LanguageTexts* texts) {
    using Text = LanguageTexts::Text;
    switch (outcome) {
    case Acknowledged:
        return LanguageTexts::Say(texts, Text::ClockOk);
    case NotConfirmed:
        return LanguageTexts::Say(texts, Text::ClockNotConfirmed);
    case NotSent:
    case PortNotOpened:
        break;
    }
    return LanguageTexts::Say(texts, Text::ClockError);
}

QString ClockResult::Caption(Outcome outcome, const LanguageTexts* texts) {
    using Text = LanguageTexts::Text;
    switch (outcome) {
    case Acknowledged:
        return LanguageTexts::Say(texts, Text::CaptionInformation);
    case NotConfirmed:
        return LanguageTexts::Say(texts, Text::CaptionWarning);
    case NotSent:
    case PortNotOpened:
        break;
    }
    return LanguageTexts::Say(texts, Text::CaptionError);
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
