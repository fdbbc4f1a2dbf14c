#include "PrintableField.h"

#include <cstring>

std::string PrintableField(const char* field, std::size_t size)
{
    std::string text(field, strnlen(field, size));
    for (char& c : text) {
        if (c < 0x20 || c > 0x7E)
            c = '?';
    }
    return text;
}
