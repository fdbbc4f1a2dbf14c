#pragma once

#include <clocale>
#include <locale>
#include <string>

namespace valdina::test {

// Puts the whole process, C library and C++ global locale alike, into a German
// desktop locale with its decimal comma, as QApplication does from the
// environment, and restores the previous locales at the end of the scope.
class DecimalCommaLocale {
public:
    static constexpr const char* kName = "de_DE.UTF-8";

    DecimalCommaLocale();
    DecimalCommaLocale(const DecimalCommaLocale&) = delete;
    DecimalCommaLocale& operator=(const DecimalCommaLocale&) = delete;
    ~DecimalCommaLocale();

    // True when the locale exists and printf now writes a decimal comma
    // (scripts/install-deps generates it).
    bool Active() const { return m_active; }

private:
    std::string m_oldCLocale;
    std::locale m_oldGlobal;
    bool m_active = false;
};

}  // namespace valdina::test
