#pragma once
// Two EEPROM images byte by byte: each differing address with the block it lies in.

#include <string>
#include <vector>

#include "EepromImage.h"

struct ImageDifference {
    int address = 0;
    std::uint8_t first = 0;
    std::uint8_t second = 0;
};

inline constexpr const char* kOutsideAnyBlock = "outside any block";

// The block holding `address`, or kOutsideAnyBlock.
const char* BlockNameAt(int address);
// In increasing address.
std::vector<ImageDifference> CompareImages(const EepromImage& first, const EepromImage& second);
// The differences grouped by block in layout order, the bytes outside any block
// last; `firstName` and `secondName` head the two byte columns.
std::string FormatImageDifferences(const std::vector<ImageDifference>& differences, const std::string& firstName,
                                   const std::string& secondName);
