#include "render/RowImages.h"

#include "core/ModelCatalogue.h"
#include "render/GlyphLibrary.h"
#include "store/AppPaths.h"
#include "store/CMessageTable.h"

namespace vexa {

RowImages::RowImages(const GlyphLibrary& library, const AppPaths& paths, int codePage) {
    for (int row = 0; row < RowCount; ++row) {
        MessageImage& image = Row(row);
        image.glyphLibrary = &library;
        image.controlId = FirstControlId + row;
        image.dataDir = paths.DataDir();
        image.imageDir = paths.ImageDir();
        image.codePage = codePage;
    }
    const MessageImage& fresh = images.front();
    params.rows = fresh.rows;
    params.exportHeight = fresh.exportHeight;
    params.pageWidth = fresh.pageWidth;
    params.pagePitch = fresh.pagePitch;
}

void RowImages::ApplyParamsTo(MessageImage& image, const ModelParams& applied) {
    image.rows = applied.rows;
    image.exportHeight = applied.exportHeight;
    image.pageWidth = applied.pageWidth;
    image.pagePitch = applied.pagePitch;
    image.signKind = applied.packKind;
    image.DropCache();
}

void RowImages::ApplyModelTo(MessageImage& image, const DisplayModel& model) {
    ModelParams next;
    next.rows = image.rows;
    next.exportHeight = image.exportHeight;
    next.pageWidth = image.pageWidth;
    next.pagePitch = image.pagePitch;
    next.SetFrom(model);
    ApplyParamsTo(image, next);
}

void RowImages::ApplyModel(const ModelParams& applied) {
    params = applied;
    for (MessageImage& image : images)
        ApplyParamsTo(image, params);
}

void RowImages::ApplyModel(const DisplayModel& model) {
    ModelParams next = params;
    next.SetFrom(model);
    ApplyModel(next);
}

void RowImages::LoadPreviews(const DisplayModel* model, CMessageTable& table) {
    for (int row = 0; row < RowCount; ++row) {
        MessageImage& image = Row(row);
        const auto r = static_cast<size_t>(row);
        image.arabic = table.arabic[r];
        image.yOffset = table.yOffset[r];
        image.SetContent(table.ReadContent(row));
        UpdatePageAlign(model, table, row);
    }
}

void RowImages::UpdatePageAlign(const DisplayModel* model, const CMessageTable& table, int row) {
    const auto r = static_cast<size_t>(row);
    Row(row).SetPageAlign(ModelCatalogue::PageAlignFor(model, table.holdTime[r], table.effect[r]) != 0);
}

void RowImages::SetLedColour(LedColour led) {
    ledColour = led;
    for (MessageImage& image : images)
        image.ledColour = led;
}

void RowImages::SetCodePage(int codePage) {
    for (MessageImage& image : images)
        image.codePage = codePage;
}

std::array<MessageImage*, RowImages::RowCount> RowImages::Pointers() {
    std::array<MessageImage*, RowCount> pointers{};
    for (int row = 0; row < RowCount; ++row)
        pointers[static_cast<size_t>(row)] = &Row(row);
    return pointers;
}

} // namespace vexa
