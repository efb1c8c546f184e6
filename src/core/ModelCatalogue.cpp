#include "core/ModelCatalogue.h"

#include <algorithm>

namespace vexa {

namespace {

using F = LinkFamily;
using E = TextEditorKind;
using K = PackKind;
using R = PageAlignRule;

// clang-format off
constexpr std::array<DisplayModel, ModelCatalogue::ModelCount> kModels = {{
//   pos name  grp rows slot family                 clock eff 485   geom   pw   pp  port           tmpl editor         time   exp  limit  pack               cols  align
    { 0, "P01", 1,  7,  8, F::RowDirectory12,     false, 0, false, false,   0,  0, "4800,n,8,1",  177, E::Rich,       true,  12, false, K::OneBit,           0, R::Always},
    { 1, "P02", 1,  7,  8, F::RowDirectory12,     false, 0, false, false,   0,  0, "4800,n,8,1",  177, E::Rich,       true,  12, false, K::OneBit,           0, R::Always},
    { 2, "P05", 1,  7,  9, F::SlotTrailer,        true,  0, false, false,   0,  0, "9600,n,8,1",  177, E::Rich,       true,  12, false, K::CharacterCodes,   0, R::Always},
    { 3, "P03", 1,  7,  8, F::RowDirectory12,     false, 0, false, false,   0,  0, "4800,n,8,1",  177, E::Rich,       true,  12, false, K::OneBit,           0, R::Always},
    { 4, "P04", 1,  7,  9, F::SlotTrailer,        true,  0, false, false,   0,  0, "9600,n,8,1",  177, E::Rich,       true,  12, false, K::CharacterCodes,   0, R::Always},
    { 5, "P19", 3, 12,  8, F::RowDirectory,       false, 0, false, false,   0,  0, "4800,n,8,1",  177, E::Rich,       true,   0, false, K::OneBit,           0, R::Always},
    { 6, "P06", 2,  7,  8, F::RowDirectoryPaired, true,  2, false, false,   0,  0, "4800,n,8,1",  243, E::BitmapFont, true,   0, false, K::ColourPlanes,    32, R::Always},
    { 7, "P07", 2,  7,  8, F::RowDirectoryPaired, true,  2, false, false,   0,  0, "4800,n,8,1",  243, E::BitmapFont, true,   0, false, K::ColourPlanes,    64, R::Always},
    { 8, "P08", 2,  7,  8, F::RowDirectoryPaired, true,  2, false, false,   0,  0, "4800,n,8,1",  243, E::BitmapFont, true,   0, false, K::ColourPlanes,    96, R::Always},
    { 9, "P09", 2,  7,  8, F::RowDirectoryPaired, true,  2, false, false,   0,  0, "4800,n,8,1",  243, E::BitmapFont, true,   0, false, K::ColourPlanes,   128, R::Always},
    {10, "P10", 2,  7,  8, F::RowDirectoryPaired, true,  2, false, false,   0,  0, "4800,n,8,1",  243, E::BitmapFont, true,   0, false, K::ColourPlanes,   160, R::Always},
    {11, "P11", 2,  7,  8, F::RowDirectoryPaired, true,  2, false, false,   0,  0, "4800,n,8,1",  243, E::BitmapFont, true,   0, false, K::ColourPlanes,   192, R::Always},
    {12, "P12", 2,  7,  8, F::RowDirectoryPaired, true,  2, false, false,   0,  0, "4800,n,8,1",  243, E::BitmapFont, true,   0, false, K::ColourPlanes,   224, R::Always},
    {13, "P13", 3, 12,  8, F::RowDirectory,       false, 0, false, true,   33, 40, "4800,n,8,1",  177, E::Rich,       false,  0, true,  K::OneBit,           0, R::PagedTwelve},
    {14, "P14", 3, 12,  8, F::RowDirectory,       false, 0, false, true,   44, 48, "4800,n,8,1",  177, E::Rich,       false,  0, true,  K::OneBit,           0, R::PagedTwelve},
    {15, "P15", 3, 12,  8, F::RowDirectory,       false, 0, false, true,   36, 40, "4800,n,8,1",  177, E::Rich,       false,  0, false, K::OneBit,           0, R::PagedTwelve},
    {16, "P17", 3, 12,  8, F::RowDirectory,       false, 0, false, true,   36, 40, "4800,n,8,1",  177, E::Rich,       false,  0, false, K::OneBit,           0, R::PagedTwelve},
    {17, "P16", 3, 12,  8, F::RowDirectory,       false, 0, false, true,   48, 48, "4800,n,8,1",  177, E::Rich,       false,  0, true,  K::OneBit,           0, R::PagedTwelve},
    {18, "P18", 3, 12,  8, F::RowDirectory,       false, 0, false, true,   48, 48, "4800,n,8,1",  177, E::Rich,       false,  0, false, K::OneBit,           0, R::PagedTwelve},
    {19, "P24", 3, 12,  8, F::RowDirectory,       false, 0, false, true,  144,144, "4800,n,8,1",  177, E::Rich,       false,  0, true,  K::OneBit,           0, R::PagedTwelve},
    {20, "P25", 3, 12,  8, F::RowDirectory,       false, 0, false, true,  216,216, "4800,n,8,1",  177, E::Rich,       false,  0, true,  K::OneBit,           0, R::PagedTwelve},
    {21, "P20", 3, 12,  8, F::RowDirectory,       false, 0, false, true,   36, 40, "4800,n,8,1",  177, E::Rich,       false,  0, false, K::OneBit,           0, R::PagedTwelve},
    {22, "P21", 3, 12,  8, F::RowDirectory,       false, 0, false, true,   48, 48, "4800,n,8,1",  177, E::Rich,       false,  0, false, K::OneBit,           0, R::PagedTwelve},
    {23, "P22", 3, 12,  8, F::RowDirectory,       false, 0, false, false,   0,  0, "4800,n,8,1",  177, E::Rich,       false,  0, false, K::OneBit,           0, R::Always},
    {24, "P23", 3, 12,  8, F::RowDirectory,       false, 0, false, false,   0,  0, "4800,n,8,1",  177, E::Rich,       false,  0, false, K::OneBit,           0, R::Always},
    {25, "P26", 4, 16, 10, F::AddressedBlocks,    true,  1, true,  false,   0,  0, "19200,n,8,1", 177, E::Rich,       true,   0, false, K::TwoBitPages,     64, R::SixteenRow},
    {26, "P27", 4, 16, 10, F::AddressedBlocks,    true,  1, true,  false,   0,  0, "19200,n,8,1", 177, E::Rich,       true,   0, false, K::TwoBitPages,     96, R::SixteenRow},
    {27, "P28", 4, 16, 10, F::AddressedBlocks,    true,  1, true,  false,   0,  0, "19200,n,8,1", 177, E::Rich,       true,   0, false, K::TwoBitPages,    128, R::SixteenRow},
    {28, "P29", 5, 16, 10, F::PagedBlocks,        true,  1, false, true,   48, 48, "19200,n,8,1", 242, E::Rich,       true,   0, false, K::TwoBitPages,     48, R::SixteenRow},
    {29, "P30", 5, 16, 10, F::PagedBlocks,        true,  1, false, true,   64, 64, "19200,n,8,1", 242, E::Rich,       true,   0, false, K::TwoBitPages,     64, R::SixteenRow},
    {30, "P31", 5, 16, 10, F::PagedBlocks,        true,  1, false, true,   96, 96, "19200,n,8,1", 242, E::Rich,       true,   0, false, K::TwoBitPages,     96, R::SixteenRow},
    {31, "P32", 5, 16, 10, F::PagedBlocks,        true,  1, false, true,  128,128, "19200,n,8,1", 242, E::Rich,       true,   0, false, K::TwoBitPages,    128, R::SixteenRow},
    {32, "P33", 5, 16, 10, F::PagedBlocks,        true,  1, false, true,  160,160, "19200,n,8,1", 242, E::Rich,       true,   0, false, K::TwoBitPages,    160, R::SixteenRow},
    {33, "P34", 5, 16, 10, F::PagedBlocks,        true,  1, false, true,  192,192, "19200,n,8,1", 242, E::Rich,       true,   0, false, K::TwoBitPages,    192, R::SixteenRow},
    {34, "P35", 5, 16, 10, F::PagedBlocks,        true,  1, false, true,  224,224, "19200,n,8,1", 242, E::Rich,       true,   0, false, K::TwoBitPages,    224, R::SixteenRow},
    // P36 has no row in the packing table of the two-bit models: the signs in the field
    // receive its messages in one-bit packing, so it stays one-bit here.
    {35, "P36", 5, 16, 10, F::PagedBlocks,        true,  1, false, true,  256,256, "19200,n,8,1", 242, E::Rich,       true,   0, false, K::OneBit,           0, R::SixteenRow},
}};
// clang-format on

const QStringList kEffectLists[3] = {
    {"Left", "Right", "Up", "Down", "Fix", "Animation", "Snow", "Middle"},
    {"Fix", "Left", "Right", "Up", "Down", "Snow", "Blink"},
    {"Left", "Right", "Up", "Down", "Fix", "Animation", "Snow"},
};

} // namespace

std::span<const DisplayModel> ModelCatalogue::All() {
    return kModels;
}

const DisplayModel* ModelCatalogue::Find(const QString& name) {
    for (const DisplayModel& m : kModels) {
        if (name == QLatin1String(m.name))
            return &m;
    }
    return nullptr;
}

QStringList ModelCatalogue::Names() {
    QStringList names;
    for (const DisplayModel& m : kModels)
        names << QString::fromLatin1(m.name);
    return names;
}

const DisplayModel* ModelCatalogue::PrefixMatch(const QString& text) {
    for (const DisplayModel& m : kModels) {
        if (QString::fromLatin1(m.name).startsWith(text, Qt::CaseInsensitive))
            return &m;
    }
    return nullptr;
}

bool ModelCatalogue::ModelGroupChanged(const QString& oldName, const QString& newName) {
    const DisplayModel* oldModel = Find(oldName);
    const DisplayModel* newModel = Find(newName);
    if (!oldModel || !newModel)
        return true;
    return oldModel->group != newModel->group;
}

QString ModelCatalogue::PortSettingsFor(int rows, const QString& name) {
    if (rows == 16)
        return QStringLiteral("19200,n,8,1");
    if (rows == 12)
        return QStringLiteral("4800,n,8,1");
    if (name == QLatin1String("P04") || name == QLatin1String("P05"))
        return QStringLiteral("9600,n,8,1");
    return QStringLiteral("4800,n,8,1");
}

int ModelCatalogue::TemplateFor(const QString& name) {
    const DisplayModel* m = Find(name);
    return m ? m->templateId : 177;
}

QStringList ModelCatalogue::EffectNames(int effectListSet) {
    if (effectListSet == 1 || effectListSet == 2)
        return kEffectLists[effectListSet];
    return kEffectLists[0];
}

int ModelCatalogue::EffectToRun(int effectListSet, int effect) {
    return effect >= 0 && effect < EffectNames(effectListSet).size() ? effect : 0;
}

int ModelCatalogue::EffectMenuResource(int effectListSet) {
    if (effectListSet == 1)
        return 139;
    if (effectListSet == 2)
        return 140;
    return 137;
}

int ModelCatalogue::ContentMenuResource(bool hasClock) {
    return hasClock ? 138 : 136;
}

QStringList ModelCatalogue::ContentItems(bool hasClock) {
    if (hasClock)
        return {QStringLiteral("Text"), QStringLiteral("Image"), QStringLiteral("Date")};
    return {QStringLiteral("Text"), QStringLiteral("Image")};
}

int ModelCatalogue::PageAlignFor(const DisplayModel* model, int holdTime, int effect) {
    if (!model)
        return 1;
    switch (model->pageAlignRule) {
    case PageAlignRule::SixteenRow:
        return (holdTime == 0 && (effect == 1 || effect == 2)) ? 0 : 1;
    case PageAlignRule::PagedTwelve:
        return (holdTime == 0 && (effect == 0 || effect == 1)) ? 0 : 1;
    case PageAlignRule::Always:
        break;
    }
    return 1;
}

int ModelCatalogue::VisibleRows(int slotCount) {
    if (slotCount == 10)
        return 10;
    if (slotCount == 9)
        return 9;
    return 8;
}

} // namespace vexa
