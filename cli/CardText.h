#pragma once
// A record's serial and model are zero-terminated within their 16 bytes; never
// read past them.

#include <cstring>
#include <string>

inline std::string FixedText(const char (&text)[16])
{
    return std::string(text, strnlen(text, sizeof text));
}
