#pragma once

#include "render/ContentEditorModel.h"

#include <QDateTime>
#include <array>
#include <functional>

namespace vexa {

// The date editor without widgets: the six date flags (year, month, day, weekday, time of
// day, seconds), the sample of the clock text, and the date content it writes:
// "[DATE_%d%d%d%d%d%d]" followed by the text as the text editor would write it.
class DateEditorModel : public ContentEditorModel {
public:
    static constexpr int FlagCount = 6;
    enum Flag { Year, Month, Day, Weekday, Time, Seconds };
    using Clock = std::function<QDateTime()>;

    DateEditorModel(CMessageTable& table, const DisplayModel& model, int rowIndex,
                    const Environment& environment);

    // The text field's content from a date row ("[DATE_flags]" then RTF or "[ASCII]"
    // text); the flags follow the content. Any other content leaves the text empty and
    // the flags at time of day and seconds.
    LoadedText LoadRow();

    bool FlagOn(int flag) const;
    void SetFlag(int flag, bool on);
    // "[DATE_000011]" for the flags as they are.
    QString FlagTag() const;

    // The clock text for the current flags at the clock's time.
    QString BuildSample() const;
    // Local time of the sample and the preview (default: the system clock).
    void SetClock(Clock clock);

    // After every change of the text, the format or the flags: the preview shows the date.
    void RefreshPreview(const QString& textWithoutBreaks, const QString& rtf);

    // OK: writes the date content (an empty text stays a clock without text).
    bool Accept(const QString& textWithoutBreaks, const QString& rtf);
    QString ContentFor(const QString& textWithoutBreaks, const QString& rtf) const;

protected:
    int DefaultHeightTwips() const override;

private:
    std::array<int, FlagCount> flags{0, 0, 0, 0, 1, 1};
    Clock clock;
};

} // namespace vexa
