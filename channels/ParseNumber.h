#pragma once
// The number rule of the EEPROM byte fields: optional white space and sign, then
// "0x" hexadecimal, leading "0" octal or decimal digits up to the first other
// character. No digits give 0, overflow saturates at 0xFFFFFFFF, "-" negates
// modulo 2^32.

#include <cstdint>
#include <string_view>

std::uint32_t ParseNumber(std::string_view text);
