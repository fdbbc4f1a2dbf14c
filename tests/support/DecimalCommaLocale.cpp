#include "DecimalCommaLocale.h"

#include <cstdio>
#include <stdexcept>

namespace valdina::test {

DecimalCommaLocale::DecimalCommaLocale()
    : m_oldCLocale(std::setlocale(LC_ALL, nullptr)), m_oldGlobal(std::locale())
{
    try {
        std::locale::global(std::locale(kName));   // also sets the C library's locale
    } catch (const std::runtime_error&) {
        return;
    }
    char text[16];
    std::snprintf(text, sizeof text, "%.2f", 1.5);
    m_active = std::string(text) == "1,50";
}

DecimalCommaLocale::~DecimalCommaLocale()
{
    std::locale::global(m_oldGlobal);
    std::setlocale(LC_ALL, m_oldCLocale.c_str());
}

}  // namespace valdina::test
