#include "PrintableField.h"

std::string PrintableField(std::string_view field)
{
    std::string text(field);
    for (char& c : text) {
        if (c < 0x20 || c > 0x7E)
            c = '?';
    }
    return text;
}
