#include "render/RtfReader.h"

#include "render/CodePageDecoder.h"

#include <QHash>
#include <QSet>
#include <algorithm>
#include <array>
#include <limits>
#include <map>
#include <optional>
#include <vector>

namespace vexa {

namespace {

// Control words longer than this are cut (the rest of the letters is still consumed).
constexpr int MaxWordLength = 32;
// Digits of a numeric parameter beyond this count are consumed but ignored.
constexpr int MaxParameterDigits = 10;
constexpr int DefaultHalfPoints = 24;
constexpr size_t MaxCachedCodePages = 16;

enum class Destination { Text, FontTable, ColourTable, Skip };

// Characters whose face and size a writer may give apart from the run's \f and \fs, with
// \af and \afs after \dbch (East Asian) or \rtlch (complex scripts). Everything else,
// the high-ANSI characters of \hich included, takes \f and \fs: office suites repeat the
// western face there and do not keep it up to date in every run.
enum class ScriptClass : quint8 { Western = 0, EastAsian = 1, Complex = 2 };
constexpr size_t ScriptClassCount = 3;

// The script class of a UTF-16 code unit by its block. Surrogates are taken as East Asian:
// the characters beyond the first plane that signs show are the CJK extensions.
ScriptClass ScriptClassOf(char16_t c) {
    if (c < 0x0590)
        return ScriptClass::Western;
    if (c < 0x10A0)
        return ScriptClass::Complex; // Hebrew, Arabic, Indic, Thai, Lao, Tibetan, Myanmar
    if (c >= 0x1100 && c < 0x1200)
        return ScriptClass::EastAsian; // Hangul Jamo
    if (c >= 0x1780 && c < 0x1800)
        return ScriptClass::Complex; // Khmer
    if (c >= 0x2E80 && c < 0xA000)
        return ScriptClass::EastAsian; // CJK radicals, punctuation, kana, Hangul, ideographs
    if (c >= 0xAC00 && c < 0xE000)
        return ScriptClass::EastAsian; // Hangul syllables, surrogates
    if (c >= 0xF900 && c < 0xFB00)
        return ScriptClass::EastAsian; // compatibility ideographs
    if (c >= 0xFB1D && c < 0xFE00)
        return ScriptClass::Complex; // Hebrew and Arabic presentation forms
    if (c >= 0xFE30 && c < 0xFE50)
        return ScriptClass::EastAsian;
    if (c >= 0xFE70 && c < 0xFF00)
        return ScriptClass::Complex;
    if (c >= 0xFF00 && c < 0xFFF0)
        return ScriptClass::EastAsian; // full-width and half-width forms
    return ScriptClass::Western;
}

// Character and destination state that a group inherits from its parent and drops at its end.
struct GroupState {
    Destination destination = Destination::Text;
    int font = -1; // -1: the document's default font (\deff)
    int halfPoints = DefaultHalfPoints;
    int colour = 0;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    int fallbackSkip = 1; // \uc
    // The class \af and \afs apply to: the last of \dbch, \rtlch (or \loch, \hich,
    // \ltrch: western, whose face and size are \f and \fs).
    ScriptClass associatedClass = ScriptClass::Western;
    // Face and size (half points) of each class; -1 and 0: the run's \f and \fs.
    std::array<int, ScriptClassCount> associatedFont{-1, -1, -1};
    std::array<int, ScriptClassCount> associatedHalfPoints{0, 0, 0};
};

struct FontEntry {
    QString face;
    int charset = 0;
    int codePage = 0; // \cpg, 0 when the charset decides
};

// One control word or control symbol as read from the input.
struct ControlToken {
    enum class Kind { Word, Symbol, Hex, Incomplete } kind = Kind::Incomplete;
    QString word;
    std::optional<int> parameter;
    QChar symbol;
    int hexByte = -1; // Hex: 0..255, or -1 when the digits were missing
};

bool IsLowerAscii(QChar c) {
    return c >= u'a' && c <= u'z';
}
bool IsAsciiDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

int HexValue(QChar c) {
    if (c >= u'0' && c <= u'9')
        return c.unicode() - u'0';
    if (c >= u'a' && c <= u'f')
        return c.unicode() - u'a' + 10;
    if (c >= u'A' && c <= u'F')
        return c.unicode() - u'A' + 10;
    return -1;
}

// Destinations whose content is never text.
bool IsSkippedDestination(const QString& word) {
    static const QSet<QString> skipped = {
        QStringLiteral("stylesheet"),
        QStringLiteral("info"),
        QStringLiteral("pict"),
        QStringLiteral("object"),
        QStringLiteral("header"),
        QStringLiteral("headerl"),
        QStringLiteral("headerr"),
        QStringLiteral("headerf"),
        QStringLiteral("footer"),
        QStringLiteral("footerl"),
        QStringLiteral("footerr"),
        QStringLiteral("footerf"),
        QStringLiteral("footnote"),
        QStringLiteral("annotation"),
        QStringLiteral("fldinst"),
        QStringLiteral("pntext"),
        QStringLiteral("pntxta"),
        QStringLiteral("pntxtb"),
        QStringLiteral("listtext"),
        QStringLiteral("listtable"),
        QStringLiteral("listoverridetable"),
        QStringLiteral("revtbl"),
        QStringLiteral("rsidtbl"),
        QStringLiteral("xmlnstbl"),
        QStringLiteral("filetbl"),
        QStringLiteral("template"),
        QStringLiteral("nonshppict"),
        QStringLiteral("shp"),
        QStringLiteral("shpinst"),
        QStringLiteral("shptxt"),
        QStringLiteral("sp"),
        QStringLiteral("sn"),
        QStringLiteral("sv"),
        QStringLiteral("result"),
        QStringLiteral("objdata"),
        QStringLiteral("themedata"),
        QStringLiteral("colorschememapping"),
        QStringLiteral("latentstyles"),
        QStringLiteral("datastore"),
        QStringLiteral("pgdsctbl"),
        QStringLiteral("userprops"),
        QStringLiteral("docvar"),
        QStringLiteral("ftnsep"),
        QStringLiteral("ftnsepc"),
        QStringLiteral("ftncn"),
        QStringLiteral("aftnsep"),
        QStringLiteral("aftnsepc"),
        QStringLiteral("aftncn"),
        QStringLiteral("generator"),
        QStringLiteral("xe"),
        QStringLiteral("tc"),
        QStringLiteral("txe"),
        QStringLiteral("bkmkstart"),
        QStringLiteral("bkmkend"),
        QStringLiteral("atnid"),
        QStringLiteral("atnauthor"),
        QStringLiteral("atrfstart"),
        QStringLiteral("atrfend"),
        QStringLiteral("private"),
        QStringLiteral("falt"),
        QStringLiteral("panose"),
        QStringLiteral("fontemb"),
        QStringLiteral("fontfile"),
        QStringLiteral("mmathPr"),
        QStringLiteral("formfield"),
        QStringLiteral("do"),
    };
    return skipped.contains(word);
}

// Characters that a control word stands for.
std::optional<char16_t> SpecialCharacter(const QString& word) {
    static const std::map<QString, char16_t> characters = {
        {QStringLiteral("tab"), u'\t'},           {QStringLiteral("cell"), u'\t'},
        {QStringLiteral("nestcell"), u'\t'},      {QStringLiteral("par"), u'\r'},
        {QStringLiteral("line"), u'\r'},          {QStringLiteral("sect"), u'\r'},
        {QStringLiteral("page"), u'\r'},          {QStringLiteral("row"), u'\r'},
        {QStringLiteral("nestrow"), u'\r'},       {QStringLiteral("emdash"), u'\u2014'},
        {QStringLiteral("endash"), u'\u2013'},    {QStringLiteral("emspace"), u'\u2003'},
        {QStringLiteral("enspace"), u'\u2002'},   {QStringLiteral("qmspace"), u'\u2005'},
        {QStringLiteral("bullet"), u'\u2022'},    {QStringLiteral("lquote"), u'\u2018'},
        {QStringLiteral("rquote"), u'\u2019'},    {QStringLiteral("ldblquote"), u'\u201C'},
        {QStringLiteral("rdblquote"), u'\u201D'}, {QStringLiteral("zwj"), u'\u200D'},
        {QStringLiteral("zwnj"), u'\u200C'},      {QStringLiteral("ltrmark"), u'\u200E'},
        {QStringLiteral("rtlmark"), u'\u200F'},
    };
    const auto found = characters.find(word);
    if (found == characters.end())
        return std::nullopt;
    return found->second;
}

// Underline kinds: every one of them switches underlining on (parameter 0 switches it off).
bool IsUnderlineWord(const QString& word) {
    static const QStringList words = {
        QStringLiteral("ul"),         QStringLiteral("uld"),       QStringLiteral("uldash"),
        QStringLiteral("uldashd"),    QStringLiteral("uldashdd"),  QStringLiteral("uldb"),
        QStringLiteral("ulhwave"),    QStringLiteral("ulldash"),   QStringLiteral("ulth"),
        QStringLiteral("ulthd"),      QStringLiteral("ulthdash"),  QStringLiteral("ulthdashd"),
        QStringLiteral("ulthdashdd"), QStringLiteral("ulthldash"), QStringLiteral("ululdbwave"),
        QStringLiteral("ulw"),        QStringLiteral("ulwave"),
    };
    return words.contains(word);
}

// Reads the whole document in one pass over the input.
class Parser {
public:
    Parser(const QString& input, const LegacyCodePage& legacyPage)
        : rtf(input), ansiCodePage(legacyPage.Number()) {
        // The text is never longer than the document; a long document reserves no more
        // than a long row holds and grows as usual beyond it.
        constexpr qsizetype kReserved = 65536;
        const qsizetype expected = std::min(input.size(), kReserved);
        result.text.reserve(expected);
        result.formats.reserve(expected);
    }

    RichText Run(CharFormat* endFormat) {
        while (position < rtf.size() && !finished)
            Step();
        if (!closingFormat)
            closingFormat = CurrentFormat();
        if (result.text.endsWith(u'\r')) { // the paragraph mark that closes the document
            closingFormat = result.formats.constLast();
            result.text.chop(1);
            result.formats.removeLast();
        }
        if (endFormat)
            *endFormat = *closingFormat;
        return result;
    }

private:
    // What the format and the code page of text depend on.
    struct TextKey {
        int font, halfPoints, colour;
        bool bold, italic, underline;
        std::array<int, ScriptClassCount> associatedFont, associatedHalfPoints;
        int defaultFont, ansiCodePage, tables;
        friend bool operator==(const TextKey&, const TextKey&) = default;
    };
    struct CachedTextState {
        TextKey key;
        std::array<CharFormat, ScriptClassCount> formats; // by script class
        int codePage;
    };

    const QString& rtf;
    qsizetype position = 0;
    bool finished = false;
    int ansiCodePage;
    int defaultFont = -1;

    std::vector<GroupState> groups{GroupState{}};
    int groupsOpened = 0;  // groups open inside the document, the outermost included
    int overflowDepth = 0; // groups open beyond MaxGroupDepth, skipped whole
    int pendingSkip = 0;   // fallback characters still to skip after \uN

    QHash<int, FontEntry> fonts;
    // Font table entry being read.
    int entryIndex = -1;
    FontEntry entry;
    QByteArray entryBytes;
    int entryBytesPage = 0;

    std::vector<std::optional<QRgb>> colours;
    int red = 0, green = 0, blue = 0;
    bool colourSet = false;

    std::map<int, CodePageDecoder> decoders;
    int lastDecoderPage = 0;
    CodePageDecoder* lastDecoder = nullptr; // the decoder DecoderFor gave last
    int leadByte = -1;                      // first byte of a double-byte character awaiting its second
    int leadPage = 0;

    RichText result;
    std::optional<CharFormat> closingFormat; // the format in effect where the document ends

    int tablesVersion = 0; // counts changes of the font and colour tables
    // Set by whatever may change the text state (a control, a group, a table entry): runs
    // of plain characters between them reuse the cached state without building its key.
    bool textStateStale = true;
    std::optional<CachedTextState> textState;
    ScriptClass lastScript = ScriptClass::Western; // of the last character that is not a space

    GroupState& State() { return groups.back(); }

    void Step() {
        const QChar c = rtf.at(position);
        if (c == u'{') {
            ++position;
            OpenGroup();
        } else if (c == u'}') {
            ++position;
            CloseGroup();
        } else if (c == u'\\') {
            HandleControl(ReadControl());
        } else {
            ++position;
            HandleRawCharacter(c);
        }
    }

    void OpenGroup() {
        pendingSkip = 0;
        textStateStale = true;
        if (overflowDepth > 0 || static_cast<int>(groups.size()) > RtfReader::MaxGroupDepth) {
            ++overflowDepth;
            return;
        }
        ++groupsOpened;
        groups.push_back(groups.back());
    }

    void CloseGroup() {
        pendingSkip = 0;
        textStateStale = true;
        if (overflowDepth > 0) {
            --overflowDepth;
            return;
        }
        if (State().destination == Destination::FontTable)
            CommitFontEntry();
        if (groupsOpened == 1)
            closingFormat = CurrentFormat();
        if (groups.size() > 1) {
            const bool fontsChanged = State().font != groups[groups.size() - 2].font;
            groups.pop_back();
            if (fontsChanged)
                DropLeadByte();
        }
        --groupsOpened;
        if (groupsOpened <= 0)
            finished = true; // the document's outermost group (or a stray brace) ends reading
    }

    // Reads the control word, symbol or hex byte at position (a backslash) and moves past it.
    ControlToken ReadControl() {
        ControlToken token;
        const qsizetype size = rtf.size();
        qsizetype i = position + 1;
        if (i >= size) {
            position = size;
            return token;
        }
        const QChar first = rtf.at(i);
        if (IsLowerAscii(first)) {
            token.kind = ControlToken::Kind::Word;
            while (i < size && IsLowerAscii(rtf.at(i))) {
                if (token.word.size() < MaxWordLength)
                    token.word += rtf.at(i);
                ++i;
            }
            i = ReadParameter(i, &token.parameter);
            if (i < size && rtf.at(i) == u' ')
                ++i;
        } else if (first == u'\'') {
            token.kind = ControlToken::Kind::Hex;
            ++i;
            const int high = i < size ? HexValue(rtf.at(i)) : -1;
            if (high >= 0) {
                ++i;
                const int low = i < size ? HexValue(rtf.at(i)) : -1;
                if (low >= 0) {
                    ++i;
                    token.hexByte = high * 16 + low;
                }
            }
        } else {
            token.kind = ControlToken::Kind::Symbol;
            token.symbol = first;
            ++i;
        }
        position = i;
        return token;
    }

    qsizetype ReadParameter(qsizetype i, std::optional<int>* parameter) const {
        const qsizetype size = rtf.size();
        bool negative = false;
        if (i + 1 < size && rtf.at(i) == u'-' && IsAsciiDigit(rtf.at(i + 1))) {
            negative = true;
            ++i;
        }
        if (i >= size || !IsAsciiDigit(rtf.at(i)))
            return i;
        qint64 value = 0;
        int digits = 0;
        for (; i < size && IsAsciiDigit(rtf.at(i)); ++i) {
            if (digits++ < MaxParameterDigits)
                value = value * 10 + (rtf.at(i).unicode() - u'0');
        }
        if (negative)
            value = -value;
        value = std::clamp<qint64>(value, std::numeric_limits<int>::min(), std::numeric_limits<int>::max());
        *parameter = static_cast<int>(value);
        return i;
    }

    void HandleControl(const ControlToken& token) {
        if (token.kind == ControlToken::Kind::Incomplete)
            return;
        textStateStale = true;
        if (token.kind == ControlToken::Kind::Word && token.word == u"bin") {
            SkipBinary(token.parameter.value_or(0));
            return;
        }
        if (overflowDepth > 0 || State().destination == Destination::Skip)
            return;
        if (pendingSkip > 0) {
            --pendingSkip;
            return;
        }
        switch (token.kind) {
        case ControlToken::Kind::Word:
            HandleWord(token.word, token.parameter);
            break;
        case ControlToken::Kind::Hex:
            if (token.hexByte >= 0)
                AddByte(static_cast<unsigned char>(token.hexByte));
            break;
        case ControlToken::Kind::Symbol:
            HandleSymbol(token.symbol);
            break;
        case ControlToken::Kind::Incomplete:
            break;
        }
    }

    void SkipBinary(int length) {
        const qsizetype count = std::max(0, length);
        position = std::min(rtf.size(), position + count);
    }

    void HandleSymbol(QChar symbol) {
        switch (symbol.unicode()) {
        case u'\\':
        case u'{':
        case u'}':
            AddByte(static_cast<unsigned char>(symbol.unicode()));
            break;
        case u'~':
            AddText(QString(QChar(0x00A0)));
            break;
        case u'_':
            AddText(QString(QChar(0x2011)));
            break;
        case u'*':
            State().destination = Destination::Skip;
            break;
        case u'\r':
        case u'\n':
            AddText(QStringLiteral("\r"));
            break;
        case u'\t':
            AddText(QStringLiteral("\t"));
            break;
        default: // \- (optional hyphen), \: and \| draw nothing
            break;
        }
    }

    void HandleWord(const QString& word, std::optional<int> parameter) {
        GroupState& state = State();
        if (word == u"fonttbl") {
            state.destination = Destination::FontTable;
            StartFontEntry();
        } else if (word == u"colortbl") {
            state.destination = Destination::ColourTable;
            red = green = blue = 0;
            colourSet = false;
        } else if (IsSkippedDestination(word)) {
            state.destination = Destination::Skip;
        } else if (state.destination == Destination::FontTable) {
            HandleFontTableWord(word, parameter);
        } else if (state.destination == Destination::ColourTable) {
            HandleColourTableWord(word, parameter);
        } else {
            HandleTextWord(word, parameter);
        }
    }

    void HandleTextWord(const QString& word, std::optional<int> parameter) {
        GroupState& state = State();
        const bool on = parameter.value_or(1) != 0;
        if (const auto special = SpecialCharacter(word)) {
            AddText(QString(QChar(*special)));
        } else if (word == u"u") {
            AddUnicode(parameter.value_or(0));
        } else if (word == u"uc") {
            state.fallbackSkip = std::clamp(parameter.value_or(1), 0, RtfReader::MaxFallbackSkip);
        } else if (word == u"plain") {
            const GroupState reset;
            state.font = reset.font;
            state.halfPoints = reset.halfPoints;
            state.colour = reset.colour;
            state.bold = state.italic = state.underline = false;
            state.associatedClass = reset.associatedClass;
            state.associatedFont = reset.associatedFont;
            state.associatedHalfPoints = reset.associatedHalfPoints;
            DropLeadByte();
        } else if (word == u"dbch") {
            state.associatedClass = ScriptClass::EastAsian;
        } else if (word == u"rtlch") {
            state.associatedClass = ScriptClass::Complex;
        } else if (word == u"loch" || word == u"hich" || word == u"ltrch") {
            state.associatedClass = ScriptClass::Western;
        } else if (word == u"af") {
            if (state.associatedClass != ScriptClass::Western)
                state.associatedFont[static_cast<size_t>(state.associatedClass)] =
                    std::max(0, parameter.value_or(0));
        } else if (word == u"afs") {
            if (state.associatedClass != ScriptClass::Western && parameter.value_or(0) > 0)
                state.associatedHalfPoints[static_cast<size_t>(state.associatedClass)] =
                    std::min(*parameter, 3276);
        } else if (word == u"f") {
            state.font = std::max(0, parameter.value_or(0));
            DropLeadByte();
        } else if (word == u"fs") {
            if (parameter.value_or(0) > 0)
                state.halfPoints = std::min(*parameter, 3276);
        } else if (word == u"cf") {
            state.colour = std::max(0, parameter.value_or(0));
        } else if (word == u"b") {
            state.bold = on;
        } else if (word == u"i") {
            state.italic = on;
        } else if (IsUnderlineWord(word)) {
            state.underline = on;
        } else if (word == u"ulnone") {
            state.underline = false;
        } else {
            HandleDocumentWord(word, parameter);
        }
    }

    // Words of the document header; they may also stand in the text.
    void HandleDocumentWord(const QString& word, std::optional<int> parameter) {
        if (word == u"deff") {
            defaultFont = std::max(0, parameter.value_or(0));
        } else if (word == u"ansicpg") {
            if (parameter.value_or(0) > 0)
                ansiCodePage = *parameter;
        } else if (word == u"mac") {
            ansiCodePage = 10000;
        } else if (word == u"pc") {
            ansiCodePage = 437;
        } else if (word == u"pca") {
            ansiCodePage = 850;
        }
    }

    void HandleFontTableWord(const QString& word, std::optional<int> parameter) {
        if (word == u"f") {
            CommitFontEntry();
            StartFontEntry();
            entryIndex = std::max(0, parameter.value_or(0));
        } else if (word == u"fcharset") {
            FlushEntryBytes();
            entry.charset = std::max(0, parameter.value_or(0));
        } else if (word == u"cpg") {
            FlushEntryBytes();
            entry.codePage = std::max(0, parameter.value_or(0));
        } else if (word == u"u") {
            FlushEntryBytes();
            entry.face += UnicodeUnit(parameter.value_or(0));
            pendingSkip = State().fallbackSkip;
        } else if (word == u"uc") {
            State().fallbackSkip = std::clamp(parameter.value_or(1), 0, RtfReader::MaxFallbackSkip);
        }
    }

    void HandleColourTableWord(const QString& word, std::optional<int> parameter) {
        const int value = std::clamp(parameter.value_or(0), 0, 255);
        if (word == u"red") {
            red = value;
            colourSet = true;
        } else if (word == u"green") {
            green = value;
            colourSet = true;
        } else if (word == u"blue") {
            blue = value;
            colourSet = true;
        }
    }

    void HandleRawCharacter(QChar c) {
        if (overflowDepth > 0)
            return;
        const Destination destination = State().destination;
        if (destination == Destination::Skip)
            return;
        if (c == u'\r' || c == u'\n' || c.unicode() == 0)
            return; // line breaks of the file and NUL bytes are not text
        if (pendingSkip > 0) {
            --pendingSkip;
            return;
        }
        if (destination == Destination::ColourTable) {
            if (c == u';')
                CommitColour();
            return;
        }
        if (destination == Destination::FontTable && c == u';') {
            CommitFontEntry();
        } else if (c == u'\t') {
            if (destination == Destination::Text)
                AddText(QStringLiteral("\t"));
        } else if (c.unicode() < 0x20) {
            return;
        } else if (c.unicode() < 0x100) {
            AddByte(static_cast<unsigned char>(c.unicode()));
        } else {
            AddText(QString(c));
        }
    }

    // ---- text output ----

    int CodePageOfFont(int fontIndex) const {
        auto found = fonts.constFind(fontIndex);
        if (found == fonts.constEnd())
            found = fonts.constFind(defaultFont);
        if (found == fonts.constEnd())
            return ansiCodePage;
        if (found->codePage > 0)
            return found->codePage;
        const int page = RtfReader::CodePageOfCharset(found->charset);
        return page > 0 ? page : ansiCodePage;
    }

    int CurrentFontIndex() const {
        const int font = groups.back().font;
        return font >= 0 ? font : defaultFont;
    }

    CodePageDecoder& DecoderFor(int codePage) {
        if (lastDecoder && lastDecoderPage == codePage)
            return *lastDecoder; // text bytes mostly come in one page after another
        auto found = decoders.find(codePage);
        if (found == decoders.end()) {
            if (decoders.size() >= MaxCachedCodePages)
                decoders.clear(); // a document switching between endless pages must not grow the cache
            found = decoders.emplace(codePage, CodePageDecoder(codePage)).first;
        }
        lastDecoderPage = codePage;
        lastDecoder = &found->second;
        return found->second;
    }

    // A byte of text in the code page of the current font (or of the font table entry).
    void AddByte(unsigned char byte) {
        if (byte == 0)
            return; // a NUL is never text
        if (State().destination == Destination::FontTable) {
            AddEntryByte(byte);
            return;
        }
        if (State().destination != Destination::Text)
            return;
        const CachedTextState& text = TextState();
        const int page = text.codePage;
        CodePageDecoder& decoder = DecoderFor(page);
        if (leadByte >= 0 && leadPage == page) {
            const unsigned char lead = static_cast<unsigned char>(leadByte);
            leadByte = -1;
            Append(decoder.DecodePair(lead, byte));
        } else if (decoder.IsLeadByte(byte)) {
            leadByte = byte;
            leadPage = page;
        } else {
            leadByte = -1;
            const QChar unit = decoder.DecodeSingleUnit(byte);
            Append(unit, FormatOf(text, unit));
        }
    }

    // Text that does not pass through a code page.
    void AddText(const QString& text) {
        if (State().destination == Destination::FontTable) {
            FlushEntryBytes();
            entry.face += text;
            return;
        }
        if (State().destination != Destination::Text)
            return;
        leadByte = -1;
        Append(text);
    }

    void AddUnicode(int value) {
        const QChar unit = UnicodeUnit(value);
        if (!unit.isNull())
            AddText(QString(unit));
        pendingSkip = State().fallbackSkip;
    }

    static QChar UnicodeUnit(int value) {
        if (value < 0)
            value += 65536;
        return QChar(static_cast<char16_t>(std::clamp(value, 0, 0xFFFF)));
    }

    // A double-byte character cut by a font change is dropped, not decoded half.
    void DropLeadByte() { leadByte = -1; }

    void Append(const QString& text) {
        if (text.isEmpty())
            return;
        if (result.text.size() + text.size() > RtfReader::MaxTextLength) {
            finished = true;
            return;
        }
        const CachedTextState& state = TextState();
        for (QChar unit : text)
            result.Append(unit, FormatOf(state, unit));
    }

    void Append(QChar unit, const CharFormat& format) {
        if (result.text.size() + 1 > RtfReader::MaxTextLength) {
            finished = true;
            return;
        }
        result.Append(unit, format);
    }

    // The format of one character: that of its script; a space belongs to the script of
    // the character before it, as office suites lay it out.
    const CharFormat& FormatOf(const CachedTextState& state, QChar unit) {
        if (unit != u' ' && unit != QChar(0x00A0))
            lastScript = unit == u'\r' ? ScriptClass::Western : ScriptClassOf(unit.unicode());
        return state.formats[static_cast<size_t>(lastScript)];
    }

    // The format and code page of text at this point, worked out again only when
    // something they depend on changed since the last character.
    const CachedTextState& TextState() {
        if (textState && !textStateStale)
            return *textState;
        textStateStale = false;
        const GroupState& state = groups.back();
        const TextKey key{state.font,   state.halfPoints, state.colour,         state.bold,
                          state.italic, state.underline,  state.associatedFont, state.associatedHalfPoints,
                          defaultFont,  ansiCodePage,     tablesVersion};
        if (!textState || textState->key != key) {
            textState =
                CachedTextState{key,
                                {CurrentFormat(ScriptClass::Western), CurrentFormat(ScriptClass::EastAsian),
                                 CurrentFormat(ScriptClass::Complex)},
                                CodePageOfFont(CurrentFontIndex())};
        }
        return *textState;
    }

    // The format of characters of a script class: an associated face and size set for the
    // class take the place of the run's.
    CharFormat CurrentFormat(ScriptClass script = ScriptClass::Western) const {
        const GroupState& state = groups.back();
        const auto index = static_cast<size_t>(script);
        CharFormat format;
        const int associatedFont = state.associatedFont[index];
        auto font = fonts.constFind(associatedFont >= 0 ? associatedFont : CurrentFontIndex());
        if (font == fonts.constEnd())
            font = fonts.constFind(defaultFont); // an unknown font number falls back to the default
        if (font != fonts.constEnd()) {
            format.face = font->face;
            format.charset = font->charset;
        }
        const int associatedSize = state.associatedHalfPoints[index];
        format.sizeTwips = (associatedSize > 0 ? associatedSize : state.halfPoints) * 10;
        format.colour = CharFormat::AutoColour;
        format.autoColour = true;
        if (state.colour >= 0 && state.colour < static_cast<int>(colours.size())) {
            if (const auto& colour = colours[static_cast<size_t>(state.colour)]) {
                format.colour = *colour;
                format.autoColour = false;
            }
        }
        format.bold = state.bold;
        format.italic = state.italic;
        format.underline = state.underline;
        return format;
    }

    // ---- font table ----

    void StartFontEntry() {
        entryIndex = -1;
        entry = FontEntry{};
        entryBytes.clear();
    }

    void AddEntryByte(unsigned char byte) {
        const int page = EntryCodePage();
        if (!entryBytes.isEmpty() && page != entryBytesPage)
            FlushEntryBytes();
        entryBytesPage = page;
        if (entryBytes.size() < 256)
            entryBytes.append(static_cast<char>(byte));
    }

    int EntryCodePage() const {
        if (entry.codePage > 0)
            return entry.codePage;
        const int page = RtfReader::CodePageOfCharset(entry.charset);
        return page > 0 ? page : ansiCodePage;
    }

    void FlushEntryBytes() {
        if (entryBytes.isEmpty())
            return;
        entry.face += DecoderFor(entryBytesPage).Decode(entryBytes);
        entryBytes.clear();
    }

    void TablesChanged() {
        ++tablesVersion;
        textStateStale = true;
    }

    void CommitFontEntry() {
        FlushEntryBytes();
        if (entryIndex >= 0 && (fonts.size() < RtfReader::MaxTableEntries || fonts.contains(entryIndex))) {
            entry.face = entry.face.trimmed().left(255);
            fonts.insert(entryIndex, entry);
            TablesChanged();
        }
        StartFontEntry();
    }

    // ---- colour table ----

    void CommitColour() {
        if (static_cast<int>(colours.size()) < RtfReader::MaxTableEntries) {
            if (colourSet)
                colours.push_back(qRgb(red, green, blue));
            else
                colours.push_back(std::nullopt);
            TablesChanged();
        }
        red = green = blue = 0;
        colourSet = false;
    }
};

} // namespace

int RtfReader::CodePageOfCharset(int charset) {
    switch (charset) {
    case 77:
        return 10000;
    case 128:
        return 932;
    case 129:
        return 949;
    case 130:
        return 1361;
    case 134:
        return 936;
    case 136:
        return 950;
    case 161:
        return 1253;
    case 162:
        return 1254;
    case 163:
        return 1258;
    case 177:
        return 1255;
    case 178:
        return 1256;
    case 186:
        return 1257;
    case 204:
        return 1251;
    case 222:
        return 874;
    case 238:
        return 1250;
    case 255:
        return 437;
    default:
        return 0;
    }
}

RichText RtfReader::Read(const QString& rtf, const LegacyCodePage& ansiPage) {
    return Parser(rtf, ansiPage).Run(nullptr);
}

RichText RtfReader::Read(const QString& rtf, const LegacyCodePage& ansiPage, CharFormat* endFormat) {
    return Parser(rtf, ansiPage).Run(endFormat);
}

} // namespace vexa
