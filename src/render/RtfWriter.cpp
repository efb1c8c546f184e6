#include "render/RtfWriter.h"

#include "render/RtfReader.h"
#include "store/LegacyCodePage.h"

#include <algorithm>
#include <optional>
#include <utility>
#include <vector>

namespace vexa {

namespace {

struct FontKey {
    QString face;
    int charset = 0;
    friend bool operator==(const FontKey&, const FontKey&) = default;
};

int CharsetOf(const CharFormat& format) {
    return format.charset != 0 ? format.charset : RtfWriter::CharsetOfFace(format.face);
}

QRgb RgbOf(QRgb colour) {
    return colour & 0x00FFFFFFu;
}

// Builds one document: the tables first, then the runs.
class DocumentWriter {
public:
    DocumentWriter(const RichText& rich, const CharFormat& endFormat) : text(rich), closing(endFormat) {
        for (const CharFormat& format : text.formats)
            Register(format);
        Register(closing);
    }

    QString Run() {
        out.reserve(256 + text.text.size() * 4);
        out += QStringLiteral("{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033");
        WriteFontTable();
        out += QStringLiteral("\r\n");
        WriteColourTable();
        out += QStringLiteral("\r\n\\viewkind4\\uc1\\pard");
        delimiterPending = true;
        const qsizetype length = std::min(text.text.size(), text.formats.size());
        for (qsizetype i = 0; i < length; ++i) {
            WriteFormatChanges(text.formats.at(i));
            WriteCharacter(text.text.at(i));
        }
        WriteFormatChanges(closing);
        WriteWord(QStringLiteral("par"));
        out += QStringLiteral("\r\n}\r\n");
        return out;
    }

private:
    const RichText& text;
    CharFormat closing;
    std::vector<FontKey> fonts;
    std::vector<QRgb> colours;
    QString out;
    bool delimiterPending = false;     // the last control word needs a space before literal text
    bool fallbackPending = false;      // the last \\uN still needs its fallback character
    std::optional<CharFormat> written; // the format the document is in

    void Register(const CharFormat& format) {
        const FontKey key{format.face, CharsetOf(format)};
        if (std::find(fonts.begin(), fonts.end(), key) == fonts.end())
            fonts.push_back(key);
        const QRgb colour = RgbOf(format.colour);
        if (!format.autoColour && std::find(colours.begin(), colours.end(), colour) == colours.end())
            colours.push_back(colour);
    }

    int FontIndex(const CharFormat& format) const {
        const FontKey key{format.face, CharsetOf(format)};
        return static_cast<int>(std::find(fonts.begin(), fonts.end(), key) - fonts.begin());
    }

    // Entry 0 of the table is the automatic colour.
    int ColourIndex(const CharFormat& format) const {
        if (format.autoColour)
            return 0;
        return 1 + static_cast<int>(std::find(colours.begin(), colours.end(), RgbOf(format.colour)) -
                                    colours.begin());
    }

    void WriteFontTable() {
        out += QStringLiteral("{\\fonttbl");
        for (size_t i = 0; i < fonts.size(); ++i) {
            out += QStringLiteral("{\\f%1\\fnil\\fcharset%2 ").arg(i).arg(fonts[i].charset);
            delimiterPending = false;
            WriteFaceName(fonts[i]);
            CloseFallback(false);
            out += QStringLiteral(";}");
        }
        out += u'}';
    }

    // Face names outside ASCII are written in the code page of their charset, as rich-edit
    // controls do; characters that page cannot hold are written as \uN?.
    void WriteFaceName(const FontKey& font) {
        const int page = RtfReader::CodePageOfCharset(font.charset);
        const LegacyCodePage codePage(page > 0 ? page : LegacyCodePage::DefaultCodePage);
        for (QChar c : font.face) {
            if (c == u'\\' || c == u'{' || c == u'}') {
                WriteCharacter(c);
                continue;
            }
            if (c.unicode() >= 0x20 && c.unicode() < 0x7F && c != u';') {
                WriteLiteral(c);
                continue;
            }
            const QByteArray bytes = codePage.Encode(QString(c));
            if (!bytes.isEmpty() && !bytes.contains('?') && codePage.Decode(bytes) == QString(c)) {
                CloseFallback(false);
                for (char byte : bytes)
                    out += QStringLiteral("\\'%1").arg(static_cast<unsigned char>(byte), 2, 16,
                                                       QLatin1Char('0'));
            } else {
                WriteUnicode(c);
            }
        }
    }

    void WriteColourTable() {
        out += QStringLiteral("{\\colortbl ;");
        for (QRgb colour : colours)
            out += QStringLiteral("\\red%1\\green%2\\blue%3;")
                       .arg(qRed(colour))
                       .arg(qGreen(colour))
                       .arg(qBlue(colour));
        out += u'}';
    }

    // The '?' that readers without Unicode show for the last \\uN. Before literal text it is
    // written as \\'3f, so readers that skip a whole run of text as the fallback keep the text.
    void CloseFallback(bool textFollows) {
        if (!fallbackPending)
            return;
        out += textFollows ? QStringLiteral("\\'3f") : QStringLiteral("?");
        fallbackPending = false;
    }

    void WriteWord(const QString& word) {
        CloseFallback(false);
        out += u'\\';
        out += word;
        delimiterPending = true;
    }

    void WriteFormatChanges(const CharFormat& format) {
        const bool first = !written.has_value();
        const CharFormat previous = written.value_or(CharFormat{});
        if (first || ColourIndex(previous) != ColourIndex(format))
            WriteWord(QStringLiteral("cf%1").arg(ColourIndex(format)));
        if (first ? format.bold : previous.bold != format.bold)
            WriteWord(format.bold ? QStringLiteral("b") : QStringLiteral("b0"));
        if (first ? format.italic : previous.italic != format.italic)
            WriteWord(format.italic ? QStringLiteral("i") : QStringLiteral("i0"));
        if (first ? format.underline : previous.underline != format.underline)
            WriteWord(format.underline ? QStringLiteral("ul") : QStringLiteral("ulnone"));
        if (first || FontIndex(previous) != FontIndex(format))
            WriteWord(QStringLiteral("f%1").arg(FontIndex(format)));
        if (first || HalfPoints(previous) != HalfPoints(format))
            WriteWord(QStringLiteral("fs%1").arg(HalfPoints(format)));
        written = format;
    }

    // \fs counts half points. Rounding down keeps the whole number of points the renderer uses.
    static int HalfPoints(const CharFormat& format) { return std::max(1, format.sizeTwips / 10); }

    void WriteCharacter(QChar c) {
        switch (c.unicode()) {
        case u'\\':
        case u'{':
        case u'}':
            CloseFallback(false);
            out += u'\\';
            out += c;
            delimiterPending = false;
            break;
        case u'\r':
        case u'\n':
        case 0x2029: // paragraph separator
            WriteWord(QStringLiteral("par"));
            break;
        case 0x2028: // line separator
            WriteWord(QStringLiteral("line"));
            break;
        case u'\t':
            WriteWord(QStringLiteral("tab"));
            break;
        default:
            if (c.unicode() >= 0x20 && c.unicode() < 0x7F)
                WriteLiteral(c);
            else
                WriteUnicode(c);
            break;
        }
    }

    void WriteLiteral(QChar c) {
        CloseFallback(true);
        if (delimiterPending)
            out += u' ';
        delimiterPending = false;
        out += c;
    }

    void WriteUnicode(QChar c) {
        CloseFallback(false);
        out += QStringLiteral("\\u%1").arg(static_cast<qint16>(c.unicode()));
        fallbackPending = true;
        delimiterPending = false;
    }
};

} // namespace

QString RtfWriter::Write(const RichText& text) {
    return Write(text, text.formats.isEmpty() ? CharFormat{} : text.formats.constLast());
}

QString RtfWriter::Write(const RichText& text, const CharFormat& endFormat) {
    return DocumentWriter(text, endFormat).Run();
}

int RtfWriter::CharsetOfFace(const QString& face) {
    static const std::vector<std::pair<int, QStringList>> faces = {
        {134,
         {"SimSun", "NSimSun", "SimHei", "KaiTi", "KaiTi_GB2312", "FangSong", "FangSong_GB2312",
          "Microsoft YaHei", "DengXian", "WenQuanYi Micro Hei", "WenQuanYi Zen Hei",
          QStringLiteral("\u5B8B\u4F53"), QStringLiteral("\u65B0\u5B8B\u4F53"),
          QStringLiteral("\u9ED1\u4F53"), QStringLiteral("\u6977\u4F53"), QStringLiteral("\u4EFF\u5B8B"),
          QStringLiteral("\u5FAE\u8F6F\u96C5\u9ED1")}},
        {136,
         {"MingLiU", "PMingLiU", "MingLiU_HKSCS", "Microsoft JhengHei", "DFKai-SB",
          QStringLiteral("\u7D30\u660E\u9AD4"), QStringLiteral("\u65B0\u7D30\u660E\u9AD4"),
          QStringLiteral("\u6A19\u6977\u9AD4"), QStringLiteral("\u5FAE\u8EDF\u6B63\u9ED1\u9AD4")}},
        {128,
         {"MS Gothic", "MS PGothic", "MS UI Gothic", "MS Mincho", "MS PMincho", "Meiryo", "Meiryo UI",
          "Yu Gothic", "Yu Mincho", QStringLiteral("\uFF2D\uFF33 \u30B4\u30B7\u30C3\u30AF"),
          QStringLiteral("\uFF2D\uFF33 \u660E\u671D"), QStringLiteral("\u30E1\u30A4\u30EA\u30AA")}},
        {129,
         {"Gulim", "GulimChe", "Dotum", "DotumChe", "Batang", "BatangChe", "Gungsuh", "Malgun Gothic",
          QStringLiteral("\uAD74\uB9BC"), QStringLiteral("\uB3CB\uC6C0"), QStringLiteral("\uBC14\uD0D5"),
          QStringLiteral("\uAD81\uC11C"), QStringLiteral("\uB9D1\uC740 \uACE0\uB515")}},
    };
    const QString name = face.trimmed();
    for (const auto& [charset, names] : faces) {
        if (names.contains(name, Qt::CaseInsensitive))
            return charset;
    }
    return 0;
}

} // namespace vexa
