#include "XmlText.h"

#include <cstdint>

namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD in UTF-8

bool AllowedInXml(std::uint32_t c)
{
    return c == 0x09 || c == 0x0A || c == 0x0D || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD) ||
        (c >= 0x10000 && c <= 0x10FFFF);
}

// Length of the well-formed UTF-8 sequence at the front of `bytes` and its code
// point, or 0 when the first byte does not start one (overlong forms rejected).
std::size_t DecodeUtf8(std::string_view bytes, std::uint32_t& c)
{
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
    const unsigned char lead = byte(0);
    std::size_t length = 0;
    std::uint32_t minimum = 0;
    if (lead < 0x80) {
        c = lead;
        return 1;
    } else if ((lead & 0xE0) == 0xC0) {
        length = 2, c = lead & 0x1F, minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, c = lead & 0x0F, minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, c = lead & 0x07, minimum = 0x10000;
    } else {
        return 0;
    }
    if (bytes.size() < length)
        return 0;
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(i) & 0xC0) != 0x80)
            return 0;
        c = (c << 6) | (byte(i) & 0x3F);
    }
    return c < minimum ? 0 : length;
}

} // namespace

std::string XmlText(std::string_view bytes)
{
    std::string text;
    text.reserve(bytes.size());
    while (!bytes.empty()) {
        std::uint32_t c = 0;
        const std::size_t length = DecodeUtf8(bytes, c);
        if (length == 0 || !AllowedInXml(c)) {
            text += kReplacement;
            bytes.remove_prefix(length == 0 ? 1 : length);
            continue;
        }
        switch (c) {
        case '&': text += "&amp;"; break;
        case '<': text += "&lt;"; break;
        case '>': text += "&gt;"; break;
        case '"': text += "&quot;"; break;
        case '\'': text += "&apos;"; break;
        // References, so that attribute values keep them too.
        case '\t': text += "&#9;"; break;
        case '\n': text += "&#10;"; break;
        case '\r': text += "&#13;"; break;
        default: text.append(bytes.substr(0, length)); break;
        }
        bytes.remove_prefix(length);
    }
    return text;
}
