#pragma once

#include <QString>
#include <QStringList>
#include <array>
#include <optional>
#include <span>

namespace vexa {

// Protocol family of a model: how its messages, clock and ID frames go on the wire.
enum class LinkFamily : int {
    RowDirectory12 = 0,
    RowDirectory = 1,
    PagedBlocks = 2,
    SlotTrailer = 3,
    RowDirectoryPaired = 4,
    AddressedBlocks = 5,
};

// Which content editor a text row of the model opens.
enum class TextEditorKind { Rich, BitmapFont };

// How the send preparation turns a row's message bitmap into bytes.
enum class PackKind {
    OneBit,         // 1 bit per dot, every lit dot, frame 0 into set 0 and frame 1 into set 1
    ColourPlanes,   // 1 bit per dot, frame 0 only: red plane into set 0, green plane into set 1
    TwoBitPages,    // 2 bits per dot in pages of pageColumns columns, frames 0 and 1
    CharacterCodes, // one byte per character of the bitmap-font text, set 0 only
};

// Rule that decides whether a row preview aligns characters to sign pages.
enum class PageAlignRule {
    Always,      // pageAlign is always on
    SixteenRow,  // off when the time is 0s and the effect index is 1 or 2
    PagedTwelve, // off when the time is 0s and the effect index is 0 or 1
};

// One row of the display model catalogue.
struct DisplayModel {
    int position;     // place in the model list (0-based)
    const char* name; // "P01" ... "P36"
    int group;        // model group 1..5; a change of group resets the current sign's file
    int rows;         // height in dots: 7, 12 or 16
    int slotCount;    // message slots: 8, 9 or 10
    LinkFamily family;
    bool hasClock;     // takes date contents and the clock command
    int effectListSet; // 0 = list A, 1 = list B, 2 = list C
    bool is485Model;
    bool hasPageGeometry; // false: pageWidth 0 and pagePitch left as it was
    int pageWidth;
    int pagePitch;
    const char* portSettings; // serial settings string
    int templateId;           // message-file template resource: 177, 242 or 243
    TextEditorKind textEditor;
    bool timeBoxesUsable;
    int exportHeight; // export height of the row previews; 0 = the model's rows
    bool dataLimit;   // send data capped at 12000 bytes
    PackKind packKind;
    int pageColumns; // columns per page of 2-bit packing / plane packing parameter
    PageAlignRule pageAlignRule;

    int FamilyCode() const { return static_cast<int>(family); }
};

// The one table of the 36 display models and every rule derived from the model.
class ModelCatalogue {
public:
    static constexpr int ModelCount = 36;
    static constexpr int DataLimitBytes = 12000;

    static std::span<const DisplayModel> All();
    // Exact, case-sensitive look-up by name; nullptr when the name is no model.
    static const DisplayModel* Find(const QString& name);
    static QStringList Names();

    // Model list prefix search: the first entry (in list order) that begins with text.
    static const DisplayModel* PrefixMatch(const QString& text);

    // False when both names belong to the same model group, true otherwise
    // (also when either name is empty or no model).
    static bool ModelGroupChanged(const QString& oldName, const QString& newName);

    // Serial settings string for a model height ("19200,n,8,1" for 16 rows, ...).
    static QString PortSettingsFor(int rows, const QString& name);

    // Template resource for a model name; 177 for unknown names.
    static int TemplateFor(const QString& name);

    // Effect names of effect list 0 (A), 1 (B) or 2 (C), in menu order.
    static QStringList EffectNames(int effectListSet);
    // The effect index a sign of the list runs for a stored index: the index itself within
    // the list, the list's first effect for one outside it (a file from another model, a
    // hand-edited file). The send puts this index on the wire and the window shows it.
    static int EffectToRun(int effectListSet, int effect);
    // Menu resource of an effect list: 137, 139, 140.
    static int EffectMenuResource(int effectListSet);
    // Content menu resource by clock: 138 with a clock (Text, Image, Date), else 136 (Text, Image).
    static int ContentMenuResource(bool hasClock);
    static QStringList ContentItems(bool hasClock);

    // pageAlign for a row: 1 = per-character page alignment, 0 = none.
    static int PageAlignFor(const DisplayModel* model, int holdTime, int effect);

    // Number of visible message rows (8, 9 or 10) for a slot count.
    static int VisibleRows(int slotCount);
};

} // namespace vexa
