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
}

void RowImages::ApplyModelTo(MessageImage& image, const DisplayModel& model) {
    image.rows = model.rows;
    image.exportHeight = model.exportHeight;
    if (model.hasPageGeometry) {
        image.pageWidth = model.pageWidth;
        image.pagePitch = model.pagePitch;
    } else {
        image.pageWidth = 0;
    }
    image.DropCache();
}

void RowImages::ApplyModel(const DisplayModel& model) {
    for (MessageImage& image : images)
        ApplyModelTo(image, model);
}

void RowImages::LoadPreviews(const DisplayModel& model, CMessageTable& table) {
    for (int row = 0; row < RowCount; ++row) {
        MessageImage& image = Row(row);
        const auto r = static_cast<size_t>(row);
        image.arabic = table.arabic[r];
        image.yOffset = table.yOffset[r];
        image.SetContent(table.ReadContent(row));
        image.SetPageAlign(ModelCatalogue::PageAlignFor(&model, table.holdTime[r], table.effect[r]) != 0);
    }
}

std::array<MessageImage*, RowImages::RowCount> RowImages::Pointers() {
    std::array<MessageImage*, RowCount> pointers{};
    for (int row = 0; row < RowCount; ++row)
        pointers[static_cast<size_t>(row)] = &Row(row);
    return pointers;
}

} // namespace vexa
