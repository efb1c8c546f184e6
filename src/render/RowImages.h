#pragma once

#include "render/MessageImage.h"

#include <array>

namespace vexa {

class AppPaths;
class CMessageTable;
class GlyphLibrary;
struct DisplayModel;

// The ten row message images of the main window, configured for a model and loaded from
// the message table the way the main window does it, for use without windows (command
// line, send from a script, tests).
class RowImages {
public:
    static constexpr int RowCount = 10;
    static constexpr int FirstControlId = 20060;

    // codePage: legacy code page of RTF bytes without a code page of their own.
    RowImages(const GlyphLibrary& library, const AppPaths& paths, int codePage = 1252);

    // Model height, export height (12 for the models that export 12 lines), page geometry
    // ("no geometry": pageWidth 0, pagePitch left as it was).
    void ApplyModel(const DisplayModel& model);
    // For every row: arabic and yOffset from the table, the content from the message
    // file, then the page alignment rule of the model.
    void LoadPreviews(const DisplayModel& model, CMessageTable& table);

    MessageImage& Row(int row) { return images.at(static_cast<size_t>(row)); }
    std::array<MessageImage*, RowCount> Pointers();

    // Applies the model's geometry to one image (shared with the main window).
    static void ApplyModelTo(MessageImage& image, const DisplayModel& model);

private:
    std::array<MessageImage, RowCount> images;
};

} // namespace vexa
