#pragma once
// Text formatting that does not follow the process locale: command texts and
// logs must read the same under every desktop locale.

#include <string>

// printf-style formatting for integer, character and string conversions only;
// these never depend on the locale. Numbers with a fraction go through FormatFixed.
#if defined(__GNUC__)
__attribute__((format(printf, 1, 2)))
#endif
std::string FormatText(const char* format, ...);

// `value` with exactly `decimals` digits after a point, whatever the locale says.
std::string FormatFixed(double value, int decimals);
