#pragma once

#include "core/Payload.h"
#include "render/DotPacker.h"
#include "render/RowFindings.h"

#include <QStringList>
#include <array>

namespace vexa {

class AppPaths;
class CMessageTable;
class GlyphLibrary;
class LanguageTexts;
class MessageImage;
class RowImages;
struct DisplayModel;

// Fills the payload from the ten row images before a send and caps its size for the
// models with a data limit.
class SendPreparation {
public:
    using RowImageList = std::array<MessageImage*, Payload::RowCount>;
    // What becomes of the bitmaps packed: Export writes them into the Image folder, as a
    // send does; InMemory packs the same pixels and writes nothing (a dry run, an estimate).
    enum class Bitmaps { Export, InMemory };

    // For each row: character codes of the plain text (set 0 only), or the frame-0
    // bitmap as red plane (set 0) and green plane (set 1), or frame 0 into set 0 and
    // frame 1 into set 1, by the model's packing kind. Rows that are not sent are
    // prepared too. A null image leaves the row's entries empty. Returns one text per
    // problem that makes a row's data wrong (a bitmap not written, an image or a content
    // over the limits), naming the row; a send must not go ahead with any.
    static QStringList PrepareSendData(const DisplayModel& model, const RowImageList& images,
                                       const CMessageTable& table, Payload& payload,
                                       const LanguageTexts* texts = nullptr,
                                       Bitmaps bitmaps = Bitmaps::Export);

    // Caps the rows to send (sendFlag 1) at 12000 bytes in all for the models with a data
    // limit: the row that crosses the limit keeps what fits, later rows get length 0.
    // Only lengths change. Returns the bytes over the limit (before capping), else 0.
    static int LimitDataSize(const DisplayModel& model, const CMessageTable& table, Payload& payload);

    // The send path: applies the model to the row images, loads every row of table
    // (message file already open) into them and prepares the payload from them.
    // The problems are worded in the language of texts (English without).
    static QStringList PrepareMessageFile(const DisplayModel& model, CMessageTable& table, RowImages& rows,
                                          Payload& payload, const LanguageTexts* texts = nullptr,
                                          Bitmaps bitmaps = Bitmaps::Export);
    // The same over ten row images of its own.
    static QStringList PrepareMessageFile(const DisplayModel& model, CMessageTable& table,
                                          const GlyphLibrary& library, const AppPaths& paths,
                                          Payload& payload, int codePage = 1252);

    // The problems of a row's content that leave it undrawn, one text each.
    static QStringList ContentProblems(int row, const MessageImage& image,
                                       const LanguageTexts* texts = nullptr);

    // True for the rows the sign receives: within the model's slots, send box ticked.
    static bool IsSent(const DisplayModel& model, const CMessageTable& table, int row);
    // A row the sign receives that will not look as composed, with the row check's findings.
    struct RowWarning {
        int row = 0;
        RowFindings findings;
    };
    // The warnings of the rows the sign receives, from their row images (loaded and
    // prepared), in row order.
    static QList<RowWarning> Warnings(const DisplayModel& model, const RowImageList& images,
                                      const CMessageTable& table);
    // One line per finding of each warned row, "row N: " before it, in the language of texts.
    static QStringList WarningLines(const QList<RowWarning>& warnings, const LanguageTexts* texts = nullptr);

    // Packing parameters of a model for frame packing.
    static DotPacker::Params FrameParams(const DisplayModel& model, bool date);
    // The number the size question shows for an excess: excess / 18 + 1.
    static int ExcessWords(int excess) { return excess / 18 + 1; }
};

} // namespace vexa
