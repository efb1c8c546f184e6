#pragma once

#include "core/SignColours.h"
#include "store/CIniFile.h"

#include <QRect>
#include <QString>

namespace vexa {

// WorkData/System.set: language, model, 485 option, selected sign, legacy code page and the
// LED colour of single-colour signs.
// Every read looks at the file first and reads it again only when it changed since it
// was last read or written (a missing or unreadable file yields the defaults); every
// write stores the value and saves the file at once. A file that is there but could not
// be read is never written over: the write is refused and said once.
class SystemSettings {
public:
    static constexpr int DefaultCodePage = 1252;

    explicit SystemSettings(QString path = QString());

    CIniFile& File() { return file; }
    const QString& Path() const { return file.filePath; }
    void SetPath(const QString& path) { file.filePath = path; }

    // 0 when missing or unreadable (the caller then takes the system's language).
    int Language();
    bool SetLanguage(int code);
    QString LedType();
    bool SetLedType(const QString& model);
    int Mode485();
    bool SetMode485(int option);
    int NowSelID();
    bool SetNowSelID(int id);
    int LedIdNum();
    QString LedIdStr();
    QString LedIdName(int id);
    // Legacy code page of files without a byte-order mark (value CodePage, default 1252).
    int CodePage();
    // The LED colour of single-colour signs (value SignColour: "red", "amber", "green",
    // "white"); red when missing or unknown.
    LedColour SignColour();
    bool SetSignColour(LedColour led);

    // Columns of the signs the playback shows for models whose catalogue row gives no page
    // width (value SignWidth; 0 when missing or not a positive number: the model's default).
    int SignWidth();
    bool SetSignWidth(int columns);

    // What the editor remembers between runs, in values of its own (PortName, WindowRect):
    // the chosen port ("" when none was stored) and the window's frame (null when none).
    QString PortName();
    QRect WindowRect();
    // Stores both and saves the file once.
    bool SetWindowState(const QString& port, const QRect& frame);

    // True when the file could be read at the last access.
    bool Readable() const { return readable; }

private:
    bool Reload();
    bool WriteText(const QString& key, const QString& value, const QString& text);
    int ReadInt(const QString& key, const QString& value);
    bool WriteInt(const QString& key, const QString& value, int number);

    CIniFile file;
    bool readable = false;
};

} // namespace vexa
