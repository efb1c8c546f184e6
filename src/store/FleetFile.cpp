#include "store/FleetFile.h"

#include "store/CIniFile.h"
#include "store/EncodedTextReader.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QStringDecoder>

namespace vexa {

namespace {

const QString kPort = QStringLiteral("Port");
const QString kModel = QStringLiteral("Model");
const QString kDataDir = QStringLiteral("DataDir");
const QString kMode485 = QStringLiteral("Mode485");
const QString kEnabled = QStringLiteral("Enabled");

bool IsComment(QStringView line) {
    return line.startsWith(u';') || line.startsWith(u'#');
}

// "DataDir=north   ; the line's folder": a ';' after white space ends the line's content.
QStringView WithoutTrailingComment(QStringView line) {
    for (qsizetype i = 1; i < line.size(); ++i) {
        if (line[i] == u';' && line[i - 1].isSpace())
            return line.first(i).trimmed();
    }
    return line;
}

bool IsSection(QStringView line) {
    return line.size() >= 2 && line.front() == u'[' && line.back() == u']';
}

// A file without a byte-order mark is UTF-8 when its bytes are valid UTF-8 (what a text
// editor writes today), else text of the legacy code page as CIniFile reads it.
std::optional<QString> ReadText(const QString& path, QString& error) {
    EncodedTextReader reader;
    if (reader.OpenDetect(path) != EncodedTextReader::Status::Ok) {
        error = reader.Reason();
        return std::nullopt;
    }
    if (reader.Encoding() != TextEncoding::Ansi)
        return reader.Text();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = path + QStringLiteral(": ") + file.errorString();
        return std::nullopt;
    }
    const QByteArray bytes = file.read(EncodedTextReader::MaxFileBytes);
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8(bytes);
    return utf8.hasError() ? reader.Text() : text;
}

// 0 or 1, or nothing.
std::optional<int> Flag(const QString& text) {
    if (text == QLatin1String("0") || text == QLatin1String("1"))
        return text.toInt();
    return std::nullopt;
}

} // namespace

QString FleetFile::ResolveFolder(const QString& written, const QString& fleetFolder) {
    QString folder = written;
    if (folder == QLatin1String("~") || folder.startsWith(QLatin1String("~/")))
        folder = QDir::homePath() + folder.mid(1);
    if (QDir::isRelativePath(folder))
        folder = QDir(fleetFolder).filePath(folder);
    return QDir::cleanPath(folder);
}

bool FleetFile::Load(const QString& filePath) {
    path = filePath;
    error.clear();
    lines.clear();
    problems.clear();
    const std::optional<QString> text = ReadText(filePath, error);
    if (!text)
        return false;
    LoadText(*text, filePath);
    return true;
}

void FleetFile::LoadText(const QString& text, const QString& filePath) {
    path = filePath;
    lines.clear();
    problems.clear();
    // Lines trimmed, comments and blank lines dropped, "name = value" closed up, every line
    // ended with CR LF as the INI reader wants; sections and repeated names noted on the way.
    QString normalised;
    QStringList sectionOrder;
    QSet<QString> sectionsSeen;
    QSet<QString> namesInSection;
    QString section;
    int lineNumber = 0;
    for (const QStringView raw : QStringView(text).tokenize(u'\n')) {
        ++lineNumber;
        QStringView line = raw.trimmed();
        if (line.isEmpty() || IsComment(line))
            continue;
        line = WithoutTrailingComment(line);
        if (IsSection(line)) {
            section = line.sliced(1, line.size() - 2).trimmed().toString();
            if (sectionsSeen.contains(section))
                problems
                    << QStringLiteral("line %1: section [%2] appears twice").arg(lineNumber).arg(section);
            else
                sectionOrder << section;
            sectionsSeen.insert(section);
            namesInSection.clear();
            normalised += u'[' + section + QStringLiteral("]\r\n");
            continue;
        }
        const qsizetype equals = line.indexOf(u'=');
        if (equals < 0) {
            problems << QStringLiteral("line %1: not a name=value line: %2").arg(lineNumber).arg(line);
            continue;
        }
        if (sectionOrder.isEmpty()) {
            problems << QStringLiteral("line %1: outside any section: %2").arg(lineNumber).arg(line);
            continue;
        }
        const QString name = line.first(equals).trimmed().toString();
        const QString folded = name.toLower();
        if (namesInSection.contains(folded))
            problems
                << QStringLiteral("line %1: %2 is given twice in [%3]").arg(lineNumber).arg(name, section);
        namesInSection.insert(folded);
        normalised += name + u'=' + line.sliced(equals + 1).trimmed().toString() + QStringLiteral("\r\n");
    }

    CIniFile ini;
    ini.LoadText(normalised);
    const QString fleetFolder = QFileInfo(filePath).absolutePath();
    const QString prefix = QString::fromLatin1(SectionPrefix);
    for (const QString& name : std::as_const(sectionOrder)) {
        const QString lineName = name.mid(prefix.size()).trimmed();
        if (!name.startsWith(prefix, Qt::CaseInsensitive) || lineName.isEmpty()) {
            problems << QStringLiteral("[%1] is not a line (sections are [Line <name>])").arg(name);
            continue;
        }
        const int k = ini.KeyIndex(name);
        ReadLine(lineName, k < 0 ? QStringList() : ini.ValueNames(k),
                 k < 0 ? QStringList() : ini.ValueTexts(k), fleetFolder);
    }
    if (lines.isEmpty())
        problems << QStringLiteral("no [Line <name>] section");
}

void FleetFile::ReadLine(const QString& name, const QStringList& names, const QStringList& texts,
                         const QString& fleetFolder) {
    FleetLine line;
    line.name = name;
    QSet<QString> given;
    for (qsizetype i = 0; i < names.size(); ++i) {
        const QString& text = texts[i];
        const auto is = [&](const QString& key) { return names[i].compare(key, Qt::CaseInsensitive) == 0; };
        if (is(kPort)) {
            line.port = text;
            given.insert(kPort);
        } else if (is(kModel)) {
            line.model = text.toUpper();
            given.insert(kModel);
        } else if (is(kDataDir)) {
            line.dataDirAsWritten = text;
            if (!text.isEmpty())
                line.dataDir = ResolveFolder(text, fleetFolder);
            given.insert(kDataDir);
        } else if (is(kMode485) || is(kEnabled)) {
            const std::optional<int> flag = Flag(text);
            if (!flag)
                line.problems << QStringLiteral("%1 must be 0 or 1, not '%2'").arg(names[i], text);
            else if (is(kMode485))
                line.mode485 = flag;
            else
                line.enabled = *flag != 0;
        } else {
            line.problems << QStringLiteral("unknown value '%1' (a line has Port, Model, DataDir, Mode485, "
                                            "Enabled)")
                                 .arg(names[i]);
        }
    }
    for (const QString& key : {kPort, kModel, kDataDir}) {
        if (!given.contains(key))
            line.problems << QStringLiteral("%1 is missing").arg(key);
        else if ((key == kPort && line.port.isEmpty()) || (key == kModel && line.model.isEmpty()) ||
                 (key == kDataDir && line.dataDir.isEmpty()))
            line.problems << QStringLiteral("%1 is empty").arg(key);
    }
    lines.append(line);
}

const FleetLine* FleetFile::Find(const QString& name) const {
    for (const FleetLine& line : lines) {
        if (line.name == name)
            return &line;
    }
    return nullptr;
}

} // namespace vexa
