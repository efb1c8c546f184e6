#include "render/ContentEditorModel.h"

#include "core/ModelCatalogue.h"
#include "render/RowImages.h"
#include "render/RtfReader.h"
#include "render/TextColourList.h"
#include "store/CMessageTable.h"

#include <algorithm>

namespace vexa {

namespace {

constexpr int FirstSize = 6;
constexpr int LastSize = 20;
const QLatin1StringView RtfTag("{\\rtf");
const QLatin1StringView AsciiTag("[ASCII]");

bool IsModel(const DisplayModel& model, std::initializer_list<const char*> names) {
    const QLatin1StringView name(model.name);
    return std::any_of(names.begin(), names.end(),
                       [&](const char* n) { return name == QLatin1StringView(n); });
}

} // namespace

ContentEditorModel::ContentEditorModel(CMessageTable& messageTable, const DisplayModel& displayModel, int row,
                                       const Environment& environment)
    : table(messageTable), model(displayModel), rowIndex(std::clamp(row, 0, CMessageTable::RowCount - 1)),
      signWidth(environment.signWidth) {
    preview.glyphLibrary = environment.library;
    preview.dataDir = environment.dataDir;
    preview.codePage = environment.codePage;
    preview.ledColour = environment.ledColour;
    // The same geometry and page alignment as the row's preview in the main window, so
    // the editor shows exactly what the row, the sign data and the command line show.
    RowImages::ApplyModelTo(preview, model);
    preview.exportHeight = 0;
    const auto r = static_cast<size_t>(rowIndex);
    preview.SetPageAlign(ModelCatalogue::PageAlignFor(&model, table.holdTime[r], table.effect[r]) != 0);
}

bool ContentEditorModel::IsSevenRow() const {
    return model.rows == 7;
}

bool ContentEditorModel::FacePaletteVisible() const {
    return !IsModel(model, {"P04", "P05"});
}

CharFormat ContentEditorModel::DefaultFormat() const {
    CharFormat format;
    format.face = QStringLiteral("Arial");
    format.colour = Yellow;
    format.sizeTwips = DefaultHeightTwips();
    if (IsModel(model, {"P13", "P14"})) {
        format.face = QStringLiteral("MingLiU");
        format.charset = 134; // GB2312
    }
    return format;
}

QStringList ContentEditorModel::SizeEntries() {
    QStringList entries;
    for (int size = FirstSize; size <= LastSize; ++size)
        entries << QString::number(size);
    return entries;
}

QStringList ContentEditorModel::YOffsetEntries() {
    QStringList entries;
    for (int y = YOffsetMin; y <= YOffsetMax; ++y)
        entries << QString::number(y);
    return entries;
}

QStringList ContentEditorModel::FaceEntries(const QStringList& installedFamilies) const {
    QStringList entries = installedFamilies;
    const QString face = DefaultFormat().face;
    if (!entries.contains(face, Qt::CaseInsensitive))
        entries << face;
    entries.removeDuplicates();
    std::sort(entries.begin(), entries.end(),
              [](const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
    return entries;
}

int ContentEditorModel::PrefixIndex(const QStringList& entries, const QString& text) {
    for (int i = 0; i < entries.size(); ++i) {
        if (entries.at(i).startsWith(text, Qt::CaseInsensitive))
            return i;
    }
    return -1;
}

ContentEditorModel::FormatView ContentEditorModel::ShowSelectionFormat(const CharFormat& at,
                                                                       const QStringList& faceEntries) {
    FormatView view;
    view.bold = at.bold;
    view.italic = at.italic;
    view.underline = at.underline;
    const int points = at.sizeTwips / 20;
    view.faceIndex = at.face.isEmpty() ? -1 : PrefixIndex(faceEntries, at.face);
    // Sizes match whole: 2 points is not the list's 20, and 24 points is none of its entries.
    view.sizeIndex = static_cast<int>(SizeEntries().indexOf(QString::number(points)));
    faceName = at.face;
    textColour = at.colour;
    fontSize = points;
    view.colourIndex = TextColourList::IndexOf(textColour);
    return view;
}

CharFormat ContentEditorModel::ApplyFormat(CharFormat at, bool bold, bool italic, bool underline) const {
    at.bold = bold;
    at.italic = italic;
    at.underline = underline;
    const QRgb colour = textColour | 0xFF000000u;
    at.autoColour = at.autoColour && colour == at.colour; // automatic until another colour is chosen
    at.colour = colour;
    at.sizeTwips = fontSize * 20;
    at.face = faceName;
    return at;
}

void ContentEditorModel::ChooseColour(int index) {
    if (TextColourList::IsValid(index))
        textColour = TextColourList::At(index).colour;
}

int ContentEditorModel::YOffsetIndex() const {
    const int y = table.yOffset[static_cast<size_t>(rowIndex)];
    return y >= YOffsetMin && y <= YOffsetMax ? y - YOffsetMin : -1;
}

void ContentEditorModel::ChooseYOffset(int index) {
    if (index < 0 || index >= YOffsetCount)
        return;
    const int y = index + YOffsetMin;
    table.yOffset[static_cast<size_t>(rowIndex)] = y;
    table.SaveParams();
    preview.yOffset = y;
    preview.DropCache();
}

int ContentEditorModel::StepYOffset(int currentIndex, int direction) {
    const int j = std::clamp(currentIndex, 1, YOffsetCount - 2);
    const int next = direction < 0 ? j - 1 : j + 1;
    ChooseYOffset(next);
    return next;
}

bool ContentEditorModel::Arabic() const {
    return table.arabic[static_cast<size_t>(rowIndex)] != 0;
}

void ContentEditorModel::SetArabic(bool on) {
    table.arabic[static_cast<size_t>(rowIndex)] = on ? 1 : 0;
    table.SaveParams();
    preview.arabic = on ? 1 : 0;
    preview.DropCache();
}

QString ContentEditorModel::Token(int number) {
    return QStringLiteral("[GIF_%1]").arg(number, 3, 10, QLatin1Char('0'));
}

QString ContentEditorModel::CounterText(const QString& text) {
    return QStringLiteral("%1/%2").arg(text.size()).arg(TextLimit);
}

QString ContentEditorModel::WithoutLineBreaks(const QString& text) {
    QString result = text;
    result.remove(u'\r');
    result.remove(u'\n');
    result.remove(QChar::ParagraphSeparator);
    result.remove(QChar::LineSeparator);
    return result;
}

qsizetype ContentEditorModel::TextLength(const LoadedText& loaded, int codePage) {
    switch (loaded.kind) {
    case LoadedText::Rtf:
        return RtfReader::Read(loaded.text, LegacyCodePage(codePage)).text.size();
    case LoadedText::Plain:
        return loaded.text.size();
    case LoadedText::Empty:
        break;
    }
    return 0;
}

QString ContentEditorModel::ReadRow() {
    preview.rows = model.rows;
    preview.exportHeight = 0;
    RefreshPreviewFlags();
    return table.ReadContent(rowIndex);
}

void ContentEditorModel::RefreshPreviewFlags() {
    const auto r = static_cast<size_t>(rowIndex);
    preview.arabic = table.arabic[r];
    preview.yOffset = table.yOffset[r];
    preview.DropCache();
}

QString ContentEditorModel::TextContent(const QString& text, const QString& rtf) const {
    return IsSevenRow() ? QString(AsciiTag) + text : rtf;
}

ContentEditorModel::LoadedText ContentEditorModel::TextOf(const QString& embedded) {
    if (embedded.startsWith(RtfTag))
        return {LoadedText::Rtf, embedded};
    if (embedded.startsWith(AsciiTag))
        return {LoadedText::Plain, embedded.mid(AsciiTag.size())};
    return {};
}

} // namespace vexa
