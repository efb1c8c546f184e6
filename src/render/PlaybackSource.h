#pragma once

#include "playback/PlaybackInput.h"
#include "playback/PlaybackProgramme.h"

#include <optional>

namespace vexa {

class CMessageTable;
class LanguageTexts;
class MessageImage;
class RowImages;
struct DisplayModel;

// Where the playback takes its rows from: the frames a send exports for a row (frame 0,
// and frame 1 of an animated message on the models that send it), widened to the columns
// the sign receives, and the row's parameters as the sign receives them. The window, the
// editors and `vexa render --animate` all play what this gives, so they show the same.
class PlaybackSource {
public:
    // The columns of message a sign receives for an exported frame width: whole bytes of
    // one-bit data, whole pages of two-bit data (and the blank page a date row ends with),
    // and what the 256-byte blocks of the addressed family carry of them.
    static int ReceivedColumns(const DisplayModel& model, int width, bool date);
    // The row's parameters as the table holds them, in the model's effect list.
    static RowSettings SettingsOf(const CMessageTable& table, int row, const DisplayModel& model);
    // One row of an image showing the row's content.
    static PlaybackInput RowInput(MessageImage& image, const CMessageTable& table, int row,
                                  const DisplayModel& model);
    // What the sign shows of its rows: those the model has slots for, with their send box
    // ticked, in order; or the one row asked for, sent or not.
    static PlaybackProgramme Programme(RowImages& rows, const CMessageTable& table, const DisplayModel& model,
                                       const SignGeometry& sign, std::optional<int> onlyRow = std::nullopt);
    // What the operator must be told about a programme: rows whose time, marquee or blink
    // the model's signs never receive, and signs that draw characters in their own font.
    // Rows are numbered from firstRowNumber (1 in the window, 0 on the command line).
    static QStringList Notes(const DisplayModel& model, const CMessageTable& table,
                             const PlaybackProgramme& programme, const LanguageTexts* texts,
                             int firstRowNumber);
    static PlaybackProgramme RowProgramme(MessageImage& image, const CMessageTable& table, int row,
                                          const DisplayModel& model, const SignGeometry& sign);
};

} // namespace vexa
