#include "PrintableField.h"

#include <algorithm>

namespace {

bool IsPrintable(char c)
{
    return c >= 0x20 && c <= 0x7E;
}

} // namespace

bool IsPrintableAscii(std::string_view text)
{
    return std::all_of(text.begin(), text.end(), IsPrintable);
}

std::string PrintableField(std::string_view field)
{
    std::string text(field);
    for (char& c : text) {
        if (!IsPrintable(c))
            c = '?';
    }
    return text;
}
