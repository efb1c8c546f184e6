#pragma once

namespace vexa {

// Language codes of the user interface: 1 simplified Chinese, 2 traditional Chinese,
// 3 English, 4 Japanese, 5 Korean, 6 Russian, 7 Thai, 8 Indonesian, 9 Malay, 10 Vietnamese.
class LanguageCodes {
public:
    static constexpr int English = 3;

    // The code for a Windows language identifier (2052 → 1, 1028 → 2, ..., others English).
    static int FromLanguageId(int languageId);
    // The Windows language identifier of the system's user-interface locale.
    static int SystemLanguageId();
    // DefaultLanguageCode: the code derived from the system's user-interface language.
    static int DefaultLanguageCode();
};

} // namespace vexa
