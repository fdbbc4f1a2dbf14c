#pragma once
// printf-style formatting into a std::string, for the system's fixed message formats.

#include <string>

#if defined(__GNUC__)
__attribute__((format(printf, 1, 2)))
#endif
std::string FormatText(const char* format, ...);
