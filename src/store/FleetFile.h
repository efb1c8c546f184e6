#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace vexa {

// One sign line of a fleet: the port it is reached by, the model of its signs and the
// folder holding its WorkData/ (settings, sign list, message files).
struct FleetLine {
    QString name;               // the text after "Line " in the section name
    QString port;               // any port name the program opens (/dev/..., tcp://..., rfc2217://...)
    QString model;              // P01..P36
    QString dataDirAsWritten;   // DataDir as the file says it
    QString dataDir;            // absolute: relative to the fleet file's folder, "~/" the home folder
    std::optional<int> mode485; // Mode485 when the file gives it (else the line's own setting)
    bool enabled = true;        // Enabled (default 1)
    QStringList problems;       // what is wrong in the section itself (missing or bad values)
};

// A fleet file: sections "[Line <name>]" with the values Port, Model, DataDir and the
// optional Mode485 and Enabled, in the program's INI format (read with CIniFile). Written by
// hand, so it is read leniently where nothing can be mistaken: any byte-order mark or none
// (UTF-8 when the bytes are valid UTF-8), LF or CR LF line ends, spaces around names and
// values, names in any case, comment lines starting with ';' or '#' and comments after a
// ';' that follows white space. Everything else that is
// not understood is named as a problem, never ignored.
class FleetFile {
public:
    static constexpr const char* SectionPrefix = "Line ";

    // False when the file cannot be read (Error() says why); a readable file with problems
    // loads, its problems listed by Problems() and each line's problems.
    bool Load(const QString& path);
    // Reads text as the content of a file at path (relative folders resolve against its folder).
    void LoadText(const QString& text, const QString& path);

    const QString& Path() const { return path; }
    const QString& Error() const { return error; }
    const QList<FleetLine>& Lines() const { return lines; }
    // Problems of the file outside any line: sections that are no line, text outside a
    // section, repeated line names, a file without lines.
    const QStringList& Problems() const { return problems; }
    const FleetLine* Find(const QString& name) const;

    // The folder a DataDir value names, resolved against the folder of the fleet file.
    static QString ResolveFolder(const QString& written, const QString& fleetFolder);

private:
    void ReadLine(const QString& section, const QStringList& names, const QStringList& texts,
                  const QString& fleetFolder);

    QString path;
    QString error;
    QList<FleetLine> lines;
    QStringList problems;
};

} // namespace vexa
