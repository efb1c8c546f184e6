#pragma once

#include "core/ModelParams.h"
#include "render/MessageImage.h"

#include <array>

namespace vexa {

class AppPaths;
class CMessageTable;
class GlyphLibrary;
struct DisplayModel;

// The ten row message images of a message file, configured for a model and loaded from
// the message table. The application context owns one set: the main window's previews
// show them, and the send preparation and the command line render from them.
class RowImages {
public:
    static constexpr int RowCount = 10;
    static constexpr int FirstControlId = 20060;

    // codePage: legacy code page of RTF bytes without a code page of their own.
    RowImages(const GlyphLibrary& library, const AppPaths& paths, int codePage = 1252);

    // Gives every image the model height, export height, page geometry and packing kind
    // (the colours its preview shows) of params.
    void ApplyModel(const ModelParams& params);
    // The same for a catalogue model, over the members applied before (a model without
    // page geometry leaves the pitch as it was).
    void ApplyModel(const DisplayModel& model);
    // The same for one image outside the rows (an editor's preview): the catalogue row
    // through ModelParams::SetFrom, so the geometry rule stays in one place.
    static void ApplyModelTo(MessageImage& image, const DisplayModel& model);
    static void ApplyParamsTo(MessageImage& image, const ModelParams& applied);
    // The members last applied; until then those of a fresh MessageImage.
    const ModelParams& Params() const { return params; }

    // For every row: arabic and yOffset from the table, the content from the message
    // file, then the page alignment rule of the model (nullptr: none known).
    void LoadPreviews(const DisplayModel* model, CMessageTable& table);
    void LoadPreviews(const DisplayModel& model, CMessageTable& table) { LoadPreviews(&model, table); }
    // The page alignment rule of the model for one row, from its time and effect.
    void UpdatePageAlign(const DisplayModel* model, const CMessageTable& table, int row);

    void SetCodePage(int codePage);
    // The LED colour the previews of single-colour signs are drawn in.
    void SetLedColour(LedColour led);
    LedColour Led() const { return ledColour; }

    MessageImage& Row(int row) { return images.at(static_cast<size_t>(row)); }
    std::array<MessageImage*, RowCount> Pointers();

private:
    std::array<MessageImage, RowCount> images;
    ModelParams params;
    LedColour ledColour = LedColour::Red;
};

} // namespace vexa
