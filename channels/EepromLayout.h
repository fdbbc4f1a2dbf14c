#pragma once
// The checksummed blocks of a card's EEPROM image. The bytes at 20-23, 200-203,
// 280-283 and 320-323 belong to no block.

#include <array>
#include <cstdint>

struct EepromBlock {
    const char* name;
    int offset;
    int length;
};

inline constexpr std::array<EepromBlock, 7> kEepromBlocks{{
    {"Header", 0, 20},
    {"gain", 24, 176},
    {"filter", 204, 76},
    {"Rcal", 284, 36},
    {"Vexc", 324, 76},
    {"Iexc", 400, 76},
    {"Xmon", 476, 36},
}};

// A block is valid when its bytes, taken as unsigned, sum to 0 modulo 256.
inline std::uint8_t BlockSum(const std::uint8_t* block, int length)
{
    std::uint8_t sum = 0;
    for (int i = 0; i < length; ++i)
        sum = static_cast<std::uint8_t>(sum + block[i]);
    return sum;
}
