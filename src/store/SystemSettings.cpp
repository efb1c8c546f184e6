#include "store/SystemSettings.h"

#include <algorithm>

namespace vexa {

namespace {
const QString kSetting = QStringLiteral("Setting");
const QString kLedData = QStringLiteral("LEDData");
} // namespace

SystemSettings::SystemSettings(QString path) {
    file.filePath = std::move(path);
}

bool SystemSettings::Reload() {
    readable = file.Refresh();
    return readable;
}

// The value goes into the file as it is now on disk; one that could not be read is kept.
// A value that could not be stored is taken back, so no getter reports it.
bool SystemSettings::WriteText(const QString& key, const QString& value, const QString& text) {
    Reload();
    const QString before = file.GetText(key, value);
    file.PutText(key, value, text, true);
    if (file.SaveFile())
        return true;
    file.PutText(key, value, before, true);
    return false;
}

int SystemSettings::ReadInt(const QString& key, const QString& value) {
    if (!Reload())
        return 0;
    return file.GetInteger(key, value);
}

bool SystemSettings::WriteInt(const QString& key, const QString& value, int number) {
    return WriteText(key, value, QString::number(number));
}

int SystemSettings::Language() {
    return ReadInt(kSetting, QStringLiteral("Language"));
}
bool SystemSettings::SetLanguage(int code) {
    return WriteInt(kSetting, QStringLiteral("Language"), code);
}

QString SystemSettings::LedType() {
    if (!Reload())
        return {};
    return file.GetText(kSetting, QStringLiteral("LedType"));
}

bool SystemSettings::SetLedType(const QString& model) {
    return WriteText(kSetting, QStringLiteral("LedType"), model);
}

int SystemSettings::Mode485() {
    return ReadInt(kSetting, QStringLiteral("Mode485"));
}
bool SystemSettings::SetMode485(int option) {
    return WriteInt(kSetting, QStringLiteral("Mode485"), option);
}
int SystemSettings::NowSelID() {
    return ReadInt(kLedData, QStringLiteral("NowSelID"));
}
bool SystemSettings::SetNowSelID(int id) {
    return WriteInt(kLedData, QStringLiteral("NowSelID"), id);
}
int SystemSettings::LedIdNum() {
    return ReadInt(kLedData, QStringLiteral("LEDID_Num"));
}

QString SystemSettings::LedIdStr() {
    if (!Reload())
        return {};
    return file.GetText(kLedData, QStringLiteral("LEDID_Str"));
}

QString SystemSettings::LedIdName(int id) {
    if (!Reload())
        return {};
    return file.GetText(kLedData, QStringLiteral("LEDID%1").arg(id));
}

int SystemSettings::CodePage() {
    if (!Reload())
        return DefaultCodePage;
    const QString text = file.GetText(kSetting, QStringLiteral("CodePage"));
    const int page = CIniFile::TruncateToInt(CIniFile::LeadingNumber(text));
    return page > 0 ? page : DefaultCodePage;
}

int SystemSettings::SignWidth() {
    return std::max(ReadInt(kSetting, QStringLiteral("SignWidth")), 0);
}

bool SystemSettings::SetSignWidth(int columns) {
    return WriteInt(kSetting, QStringLiteral("SignWidth"), columns);
}

LedColour SystemSettings::SignColour() {
    if (!Reload())
        return LedColour::Red;
    return SignColours::LedColourFromName(file.GetText(kSetting, QStringLiteral("SignColour")))
        .value_or(LedColour::Red);
}

bool SystemSettings::SetSignColour(LedColour led) {
    return WriteText(kSetting, QStringLiteral("SignColour"), SignColours::LedColourName(led));
}

QString SystemSettings::PortName() {
    if (!Reload())
        return {};
    return file.GetText(kSetting, QStringLiteral("PortName"));
}

QRect SystemSettings::WindowRect() {
    if (!Reload())
        return {};
    const QStringList parts = file.GetText(kSetting, QStringLiteral("WindowRect")).split(u',');
    if (parts.size() != 4)
        return {};
    int numbers[4] = {};
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        numbers[i] = parts[i].trimmed().toInt(&ok);
        if (!ok)
            return {};
    }
    if (numbers[2] <= 0 || numbers[3] <= 0 || numbers[2] > 100000 || numbers[3] > 100000)
        return {};
    return QRect(numbers[0], numbers[1], numbers[2], numbers[3]);
}

bool SystemSettings::SetWindowState(const QString& port, const QRect& frame) {
    Reload();
    file.PutText(kSetting, QStringLiteral("PortName"), port, true);
    const QString rect =
        QStringLiteral("%1,%2,%3,%4").arg(frame.x()).arg(frame.y()).arg(frame.width()).arg(frame.height());
    file.PutText(kSetting, QStringLiteral("WindowRect"), rect, true);
    return file.SaveFile();
}

} // namespace vexa
