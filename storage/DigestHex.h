#pragma once
// A digest's bytes as lowercase hex digits, two per byte, as sha256sum prints them.

#include <cstddef>
#include <cstdint>
#include <string>

inline std::string DigestHex(const std::uint8_t* digest, std::size_t size)
{
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string hex;
    hex.reserve(size * 2);
    for (std::size_t i = 0; i < size; ++i) {
        hex += kDigits[digest[i] >> 4];
        hex += kDigits[digest[i] & 0x0F];
    }
    return hex;
}
