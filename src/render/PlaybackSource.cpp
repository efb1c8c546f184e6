#include "render/PlaybackSource.h"

#include "core/ModelCatalogue.h"
#include "render/DotPacker.h"
#include "render/MessageImage.h"
#include "render/RowImages.h"
#include "store/CMessageTable.h"
#include "store/LanguageTexts.h"

#include <QPainter>
#include <algorithm>
#include <array>

namespace vexa {

namespace {

QImage Widened(const QImage& frame, int columns) {
    if (frame.isNull() || frame.width() >= columns)
        return frame;
    QImage wide(columns, frame.height(), QImage::Format_ARGB32);
    wide.fill(SignColours::OpaqueBlack);
    QPainter painter(&wide);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(0, 0, frame);
    return wide;
}

// Frame 1 reaches the signs of the two-pass families in their second data set (the paired
// family fills it with the green plane instead); the block families send one set only.
// Signs that draw character codes animate the tokens themselves, shown by both frames.
bool SendsSecondFrame(const DisplayModel& model) {
    if (model.packKind == PackKind::CharacterCodes)
        return true;
    return model.packKind == PackKind::OneBit &&
           (model.family == LinkFamily::RowDirectory12 || model.family == LinkFamily::RowDirectory);
}

} // namespace

int PlaybackSource::ReceivedColumns(const DisplayModel& model, int width, bool date) {
    switch (model.packKind) {
    case PackKind::OneBit:
    case PackKind::ColourPlanes:
        return (width + 7) / 8 * 8;
    case PackKind::TwoBitPages: {
        const int columns = model.pageColumns;
        if (columns <= 0)
            return width;
        int pages = (width + columns - 1) / columns + (date ? 1 : 0);
        if (model.family == LinkFamily::AddressedBlocks) {
            // Pages travel in whole blocks of 256 bytes, and the sign reads whole pages of them.
            const int pageBytes = std::max(DotPacker::MinPageBytes, model.rows * columns * 2 / 8);
            const int blocks = (pages * pageBytes + 255) / 256;
            pages = (blocks * 256 + pageBytes - 1) / pageBytes;
        }
        return pages * columns;
    }
    case PackKind::CharacterCodes:
        break;
    }
    return width;
}

RowSettings PlaybackSource::SettingsOf(const CMessageTable& table, int row, const DisplayModel& model) {
    const auto r = static_cast<size_t>(row);
    RowSettings settings;
    settings.effectListSet = model.effectListSet;
    settings.effect = table.effect[r];
    settings.speed = table.speed[r];
    settings.time = table.holdTime[r];
    settings.marquee = table.marquee[r] != 0;
    settings.blink = table.blink[r] != 0;
    return settings;
}

PlaybackInput PlaybackSource::RowInput(MessageImage& image, const CMessageTable& table, int row,
                                       const DisplayModel& model) {
    PlaybackInput input;
    input.row = row;
    input.settings = SettingsOf(table, row, model).AsReceivedBy(model);
    const bool date = table.kind[static_cast<size_t>(row)] == CMessageTable::KindDate;
    const int frames = SendsSecondFrame(model) ? 2 : 1;
    for (int f = 0; f < frames; ++f) {
        const QImage exported = image.RenderExportFrame(f);
        if (exported.isNull())
            continue;
        input.frames[static_cast<size_t>(f)] =
            Widened(exported, ReceivedColumns(model, exported.width(), date));
    }
    return input;
}

PlaybackProgramme PlaybackSource::Programme(RowImages& rows, const CMessageTable& table,
                                            const DisplayModel& model, const SignGeometry& sign,
                                            std::optional<int> onlyRow) {
    std::vector<PlaybackInput> inputs;
    for (int row = 0; row < std::min(model.slotCount, int(CMessageTable::RowCount)); ++row) {
        const bool wanted = onlyRow ? *onlyRow == row : table.sendFlag[static_cast<size_t>(row)] == 1;
        if (wanted)
            inputs.push_back(RowInput(rows.Row(row), table, row, model));
    }
    return PlaybackProgramme(inputs, sign);
}

QStringList PlaybackSource::Notes(const DisplayModel& model, const CMessageTable& table,
                                  const PlaybackProgramme& programme, const LanguageTexts* texts,
                                  int firstRowNumber) {
    using Text = LanguageTexts::Text;
    const std::pair<QString, Text> kinds[] = {{QStringLiteral("time"), Text::NotReceivedTime},
                                              {QStringLiteral("marquee"), Text::NotReceivedMarquee},
                                              {QStringLiteral("blink"), Text::NotReceivedBlink}};
    std::array<QStringList, 3> rowsOf;
    int lastRow = -1;
    for (const PlaybackStep& step : programme.Steps()) {
        if (step.row == lastRow)
            continue;
        lastRow = step.row;
        const QStringList lost = SettingsOf(table, step.row, model).NotReceivedBy(model);
        for (size_t k = 0; k < rowsOf.size(); ++k)
            if (lost.contains(kinds[k].first))
                rowsOf[k] << QString::number(step.row + firstRowNumber);
    }
    QStringList notes;
    for (size_t k = 0; k < rowsOf.size(); ++k)
        if (!rowsOf[k].isEmpty())
            notes << LanguageTexts::Say(texts, kinds[k].second).arg(rowsOf[k].join(QStringLiteral(", ")));
    if (model.packKind == PackKind::CharacterCodes && !programme.IsEmpty())
        notes << LanguageTexts::Say(texts, Text::CharacterFontNote);
    return notes;
}

PlaybackProgramme PlaybackSource::RowProgramme(MessageImage& image, const CMessageTable& table, int row,
                                               const DisplayModel& model, const SignGeometry& sign) {
    return PlaybackProgramme({RowInput(image, table, row, model)}, sign);
}

} // namespace vexa
