#include "CliNumber.h"

#include <algorithm>
#include <cctype>

#include "ParseNumber.h"

namespace {

bool AllDigits(std::string_view text, int (*isDigit)(int))
{
    return !text.empty() && std::all_of(text.begin(), text.end(),
                                        [isDigit](char c) { return isDigit(static_cast<unsigned char>(c)) != 0; });
}

} // namespace

std::optional<std::uint32_t> ParseCliNumber(std::string_view text)
{
    const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    if (hex ? !AllDigits(text.substr(2), isxdigit) : !AllDigits(text, isdigit))
        return std::nullopt;
    // A leading zero would make the rule read octal: "010" is refused, not taken as 8.
    if (!hex && text.size() > 1 && text[0] == '0')
        return std::nullopt;
    // Values beyond 32 bits saturate, which every range check then refuses.
    return ParseNumber(text);
}
