#pragma once
// A card's whole EEPROM: the byte at EEPROM address a is at offset a.

#include <array>
#include <cstdint>

constexpr int kEepromSize = 512;
using EepromImage = std::array<std::uint8_t, kEepromSize>;
