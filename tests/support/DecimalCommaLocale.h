#pragma once

#include <clocale>
#include <locale>
#include <string>

namespace valdina::test {

// The whole process, C library and C++ global locale alike, in a German desktop
// locale with its decimal comma, as QApplication sets it from the environment;
// the previous locales come back at the end of the scope.
struct DecimalCommaLocale {
    static constexpr const char* kName = "de_DE.UTF-8";
    DecimalCommaLocale()
    {
        if (std::setlocale(LC_ALL, kName))
            std::locale::global(std::locale(kName));
    }
    ~DecimalCommaLocale()
    {
        std::locale::global(m_old);
        std::setlocale(LC_ALL, m_oldC.c_str());
    }
    // False when the locale is missing (scripts/install-deps generates it).
    bool Active() const { return *std::localeconv()->decimal_point == ','; }

    const std::string m_oldC = std::setlocale(LC_ALL, nullptr);
    const std::locale m_old;
};

}  // namespace valdina::test
