#include "app/LanguageCodes.h"

#include <QLocale>

namespace vexa {

int LanguageCodes::FromLanguageId(int id) {
    switch (id) {
    case 2052:
    case 3076:
    case 4100:
        return 1;
    case 1028:
        return 2;
    case 1041:
        return 4;
    case 1042:
    case 2066:
        return 5;
    case 1049:
        return 6;
    case 1054:
        return 7;
    case 1057:
        return 8;
    case 1066:
        return 10;
    default:
        return English;
    }
}

int LanguageCodes::SystemLanguageId() {
    const QLocale locale = QLocale::system();
    switch (locale.language()) {
    case QLocale::Chinese:
        if (locale.territory() == QLocale::Taiwan)
            return 1028;
        if (locale.territory() == QLocale::HongKong)
            return 3076;
        if (locale.territory() == QLocale::Singapore)
            return 4100;
        return locale.script() == QLocale::TraditionalChineseScript ? 1028 : 2052;
    case QLocale::Japanese:
        return 1041;
    case QLocale::Korean:
        return 1042;
    case QLocale::Russian:
        return 1049;
    case QLocale::Thai:
        return 1054;
    case QLocale::Indonesian:
        return 1057;
    case QLocale::Vietnamese:
        return 1066;
    default:
        return 1033;
    }
}

int LanguageCodes::DefaultLanguageCode() {
    return FromLanguageId(SystemLanguageId());
}

} // namespace vexa
