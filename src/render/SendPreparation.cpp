#include "render/SendPreparation.h"

#include "core/ModelCatalogue.h"
#include "render/MessageImage.h"
#include "render/RasterLimits.h"
#include "render/RowCheck.h"
#include "render/RowImages.h"
#include "store/CMessageTable.h"
#include "store/LanguageTexts.h"

#include <algorithm>
#include <limits>

namespace vexa {

DotPacker::Params SendPreparation::FrameParams(const DisplayModel& model, bool date) {
    DotPacker::Params params;
    params.family = model.FamilyCode();
    params.bitsPerDot = model.packKind == PackKind::TwoBitPages ? 2 : 1;
    params.pageColumns = model.packKind == PackKind::TwoBitPages ? model.pageColumns : 0;
    params.colourPlane = 0;
    params.date = date;
    params.rows = model.rows;
    return params;
}

QStringList SendPreparation::ContentProblems(int row, const MessageImage& image, const LanguageTexts* texts) {
    QStringList problems;
    if (image.refusedCharacters > 0)
        problems << LanguageTexts::Say(texts, LanguageTexts::Text::RowTooManyCharacters)
                        .arg(row)
                        .arg(image.refusedCharacters)
                        .arg(RasterLimits::MaxRowCharacters);
    for (const QString& path : image.rejectedImages)
        problems << LanguageTexts::Say(texts, LanguageTexts::Text::RowImageTooLarge)
                        .arg(row)
                        .arg(RasterLimits::MaxImageWidth)
                        .arg(RasterLimits::MaxImageHeight)
                        .arg(RasterLimits::MaxImagePixels)
                        .arg(path);
    return problems;
}

QStringList SendPreparation::PrepareSendData(const DisplayModel& model, const RowImageList& images,
                                             const CMessageTable& table, Payload& payload,
                                             const LanguageTexts* texts, Bitmaps bitmaps) {
    QStringList problems;
    for (int row = 0; row < Payload::RowCount; ++row) {
        PayloadEntry& set0 = payload.At(0, row);
        PayloadEntry& set1 = payload.At(1, row);
        MessageImage* image = images[static_cast<size_t>(row)];
        if (!image) {
            set0.Clear();
            set1.Clear();
            continue;
        }
        problems << ContentProblems(row, *image, texts);
        // A sign that draws its own characters needs no glyph files; for the others a row
        // drawn without them would go out blank or with gaps.
        const QString missing = image->MissingGlyphFolder();
        if (!missing.isEmpty() && model.packKind != PackKind::CharacterCodes &&
            table.sendFlag[static_cast<size_t>(row)] != 0)
            problems << LanguageTexts::Say(texts, LanguageTexts::Text::RowProblem)
                            .arg(row)
                            .arg(LanguageTexts::Say(texts, LanguageTexts::Text::GlyphFolderMissingRow)
                                     .arg(missing));
        // Writes a frame's bitmap to the Image folder, as the operator and the tools see it,
        // and packs the same pixels from memory. A bitmap that could not be written would
        // be sent as a blank row: that is a problem that stops the send.
        const auto exportFrame = [&](int frame) {
            if (bitmaps == Bitmaps::InMemory)
                return image->RenderExportFrame(frame);
            QImage bitmap;
            image->ExportFrame(frame, &bitmap);
            if (!image->exportError.isEmpty())
                problems << LanguageTexts::Say(texts, LanguageTexts::Text::RowProblem)
                                .arg(row)
                                .arg(image->exportError);
            return bitmap;
        };
        switch (model.packKind) {
        case PackKind::CharacterCodes:
            set0.Assign(DotPacker::PackCharacterCodes(image->GetPlainText()));
            set1.Clear(); // no second set: nothing of an earlier preparation stays behind
            break;
        case PackKind::ColourPlanes: {
            const QImage bitmap = exportFrame(0);
            DotPacker::Params params = FrameParams(model, false);
            params.rows = 12;
            params.colourPlane = 1;
            set0.Assign(DotPacker::PackImage(bitmap, params));
            params.colourPlane = 2;
            set1.Assign(DotPacker::PackImage(bitmap, params));
            break;
        }
        case PackKind::OneBit:
        case PackKind::TwoBitPages: {
            const bool date = table.kind[static_cast<size_t>(row)] == CMessageTable::KindDate;
            const DotPacker::Params params = FrameParams(model, date);
            set0.Assign(DotPacker::PackImage(exportFrame(0), params));
            set1.Assign(DotPacker::PackImage(exportFrame(1), params));
            break;
        }
        }
    }
    return problems;
}

bool SendPreparation::IsSent(const DisplayModel& model, const CMessageTable& table, int row) {
    return row >= 0 && row < model.slotCount && row < CMessageTable::RowCount &&
           table.sendFlag[static_cast<size_t>(row)] == 1;
}

QList<SendPreparation::RowWarning>
SendPreparation::Warnings(const DisplayModel& model, const RowImageList& images, const CMessageTable& table) {
    QList<RowWarning> warnings;
    for (int row = 0; row < Payload::RowCount; ++row) {
        MessageImage* image = images[static_cast<size_t>(row)];
        if (!image || !IsSent(model, table, row))
            continue;
        const RowFindings& findings = image->Findings();
        if (!findings.isEmpty())
            warnings.append(RowWarning{row, findings});
    }
    return warnings;
}

QStringList SendPreparation::WarningLines(const QList<RowWarning>& warnings, const LanguageTexts* texts) {
    QStringList lines;
    const QString rowText = LanguageTexts::Say(texts, LanguageTexts::Text::RowProblem);
    for (const RowWarning& warning : warnings)
        for (const QString& finding : RowCheck::Describe(warning.findings, texts))
            lines << QString(rowText).arg(warning.row).arg(finding);
    return lines;
}

int SendPreparation::LimitDataSize(const DisplayModel& model, const CMessageTable& table, Payload& payload) {
    if (!model.dataLimit)
        return 0;
    const int limit = ModelCatalogue::DataLimitBytes;
    qint64 total = 0;
    bool first = true;
    for (int row = 0; row < Payload::RowCount; ++row) {
        if (table.sendFlag[static_cast<size_t>(row)] != 1)
            continue;
        PayloadEntry& set0 = payload.At(0, row);
        PayloadEntry& set1 = payload.At(1, row);
        const qint64 size = qint64(set0.length) + set1.length;
        total += size;
        if (total <= limit)
            continue;
        if (first) {
            first = false;
            const auto room = static_cast<int>(limit - (total - size));
            // Capping never lengthens an entry beyond its own bytes.
            if (set1.length != 0) {
                set0.length = std::min(set0.length, room / 2);
                set1.length = std::min(set1.length, room / 2);
            } else {
                set0.length = std::min(set0.length, room);
            }
        } else {
            set0.length = set1.length = 0;
        }
    }
    return total > limit ? static_cast<int>(std::min<qint64>(total - limit, std::numeric_limits<int>::max()))
                         : 0;
}

QStringList SendPreparation::PrepareMessageFile(const DisplayModel& model, CMessageTable& table,
                                                const GlyphLibrary& library, const AppPaths& paths,
                                                Payload& payload, int codePage) {
    RowImages rows(library, paths, codePage);
    return PrepareMessageFile(model, table, rows, payload);
}

QStringList SendPreparation::PrepareMessageFile(const DisplayModel& model, CMessageTable& table,
                                                RowImages& rows, Payload& payload, const LanguageTexts* texts,
                                                Bitmaps bitmaps) {
    rows.ApplyModel(model);
    rows.LoadPreviews(model, table);
    return PrepareSendData(model, rows.Pointers(), table, payload, texts, bitmaps);
}

} // namespace vexa
