#pragma once

#include <clocale>
#include <locale>
#include <string>

namespace valdina::test {

// The whole process, C library and C++ global locale alike, in a German desktop
// locale with its decimal comma, as QApplication sets it from the environment;
// the previous locales come back at the end of the scope.
struct DecimalCommaLocale {
#ifdef _WIN32
    // MinGW's C++ library knows no named locales; the C library's is the one
    // that printf and strtod follow.
    static constexpr const char* kName = "German_Germany.1252";
#else
    static constexpr const char* kName = "de_DE.UTF-8";
#endif
    DecimalCommaLocale()
    {
#ifdef _WIN32
        std::setlocale(LC_ALL, kName);
#else
        if (std::setlocale(LC_ALL, kName))
            std::locale::global(std::locale(kName));
#endif
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
