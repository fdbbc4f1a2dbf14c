#include "TextFormat.h"

#include <charconv>
#include <cstdarg>
#include <cstdio>

std::string FormatText(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    const int length = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    std::string text;
    if (length > 0) {
        text.resize(static_cast<std::size_t>(length));
        std::vsnprintf(text.data(), text.size() + 1, format, args);
    }
    va_end(args);
    return text;
}

std::string FormatFixed(double value, int decimals)
{
    // Room for the largest double in fixed notation (309 digits) and the decimals.
    char buffer[320 + 64];
    const int precision = decimals < 0 ? 0 : decimals > 60 ? 60 : decimals;
    const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, precision);
    if (error != std::errc())
        return {};
    return std::string(buffer, end);
}
