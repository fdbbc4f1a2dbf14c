// Fuzz target for the number rule of the EEPROM byte fields: any text, any bytes,
// must give the value that an independent reading through strtoull gives, and
// must never read past its input.

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "ParseNumber.h"

namespace {

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// The rule restated through the C library: strtoull does the base prefixes, the
// digits and the overflow; sign, saturation at 32 bits and negation are ours.
std::uint32_t Oracle(const std::string& text)
{
    std::size_t at = 0;
    while (at < text.size() && IsBlank(text[at]))
        ++at;
    bool negative = false;
    if (at < text.size() && (text[at] == '+' || text[at] == '-'))
        negative = text[at++] == '-';
    // strtoull would skip blanks and take a second sign here; the rule does not.
    if (at == text.size() || IsBlank(text[at]) || text[at] == '+' || text[at] == '-')
        return 0;
    errno = 0;
    const unsigned long long value = std::strtoull(text.c_str() + at, nullptr, 0);
    std::uint32_t result = (errno == ERANGE || value > 0xFFFFFFFFull) ? 0xFFFFFFFFu : static_cast<std::uint32_t>(value);
    return negative ? static_cast<std::uint32_t>(0u - result) : result;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // The oracle reads a C string: stop the input at its first zero byte.
    const std::size_t length = std::strlen(std::string(reinterpret_cast<const char*>(data), size).c_str());
    const std::string text(reinterpret_cast<const char*>(data), length);
    // A copy of exactly `length` bytes on the heap, so reading past it is caught.
    char* exact = static_cast<char*>(std::malloc(length ? length : 1));
    std::memcpy(exact, text.data(), length);
    const std::uint32_t value = ParseNumber(std::string_view(exact, length));
    std::free(exact);
    if (value != Oracle(text))
        std::abort();
    return 0;
}
