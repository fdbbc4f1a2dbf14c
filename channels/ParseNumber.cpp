#include "ParseNumber.h"

#include <string_view>

namespace {

// The value of `c` as a digit of `base`, or -1.
int DigitValue(char c, int base)
{
    int value = -1;
    if (c >= '0' && c <= '9')
        value = c - '0';
    else if (c >= 'a' && c <= 'f')
        value = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F')
        value = c - 'A' + 10;
    return value < base ? value : -1;
}

} // namespace

std::uint32_t ParseNumber(std::string_view text)
{
    constexpr std::uint64_t kMax = 0xFFFFFFFFu;
    constexpr std::string_view kWhiteSpace = " \t\n\v\f\r";

    std::size_t i = text.find_first_not_of(kWhiteSpace);
    if (i == std::string_view::npos)
        return 0;

    bool negative = false;
    if (text[i] == '+' || text[i] == '-') {
        negative = text[i] == '-';
        ++i;
    }

    int base = 10;
    if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        // "0x" without a hexadecimal digit after it reads as 0.
        base = 16;
        i += 2;
    } else if (i < text.size() && text[i] == '0') {
        base = 8;
    }

    std::uint64_t value = 0;
    for (; i < text.size(); ++i) {
        const int digit = DigitValue(text[i], base);
        if (digit < 0)
            break;
        value = value * static_cast<std::uint64_t>(base) + static_cast<std::uint64_t>(digit);
        if (value > kMax)
            value = kMax + 1;   // stays above the limit, however many digits follow
    }
    std::uint32_t result = value > kMax ? static_cast<std::uint32_t>(kMax) : static_cast<std::uint32_t>(value);
    if (negative)
        result = 0u - result;
    return result;
}
