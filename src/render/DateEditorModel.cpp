#include "render/DateEditorModel.h"

#include "core/ModelCatalogue.h"
#include "render/TextRasteriser.h"
#include "store/CMessageTable.h"

namespace vexa {

namespace {

const QLatin1StringView DateTag("[DATE_");

} // namespace

DateEditorModel::DateEditorModel(CMessageTable& messageTable, const DisplayModel& displayModel, int row,
                                 const Environment& environment)
    : ContentEditorModel(messageTable, displayModel, row, environment) {
    SetClock({});
}

void DateEditorModel::SetClock(Clock newClock) {
    clock = newClock ? std::move(newClock) : Clock([] { return QDateTime::currentDateTime(); });
    preview.clock = clock;
    preview.DropCache();
}

int DateEditorModel::DefaultHeightTwips() const {
    const QLatin1StringView name(model.name);
    if (name == QLatin1StringView("P04") || name == QLatin1StringView("P05"))
        return 240;
    if (model.rows == 7)
        return 140;
    if (model.rows == 16)
        return 320;
    return 240;
}

ContentEditorModel::LoadedText DateEditorModel::LoadRow() {
    const QString content = ReadRow();
    if (!content.startsWith(DateTag))
        return {};
    const qsizetype close = content.size() > DateTag.size() ? content.indexOf(u']', DateTag.size()) : -1;
    const QString rest = close < 0 ? content : content.mid(close + 1);
    const QString flagChars = close < 0 ? QString() : content.mid(DateTag.size(), close - DateTag.size());
    for (int k = 0; k < FlagCount; ++k) {
        const QChar c = k < flagChars.size() ? flagChars.at(k) : QChar(u'0');
        flags[static_cast<size_t>(k)] = c >= u'0' && c <= u'9' ? c.unicode() - u'0' : 0;
    }
    return TextOf(rest);
}

bool DateEditorModel::FlagOn(int flag) const {
    return flag >= 0 && flag < FlagCount && flags[static_cast<size_t>(flag)] != 0;
}

void DateEditorModel::SetFlag(int flag, bool on) {
    if (flag >= 0 && flag < FlagCount)
        flags[static_cast<size_t>(flag)] = on ? 1 : 0;
}

QString DateEditorModel::FlagTag() const {
    QString tag = DateTag;
    for (int k = 0; k < FlagCount; ++k)
        tag += FlagOn(k) ? u'1' : u'0';
    return tag + u']';
}

QString DateEditorModel::BuildSample() const {
    return TextRasteriser::DateString(FlagTag().mid(DateTag.size(), FlagCount), clock());
}

void DateEditorModel::RefreshPreview(const QString& textWithoutBreaks, const QString& rtf) {
    preview.SetContent(FlagTag() + TextContent(textWithoutBreaks, rtf));
}

QString DateEditorModel::ContentFor(const QString& textWithoutBreaks, const QString& rtf) const {
    return FlagTag() + TextContent(textWithoutBreaks.trimmed(), rtf);
}

bool DateEditorModel::Accept(const QString& textWithoutBreaks, const QString& rtf) {
    return table.WriteContent(rowIndex, ContentFor(textWithoutBreaks, rtf));
}

} // namespace vexa
