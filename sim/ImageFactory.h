#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "ImageLayout.h"

namespace zsim {

// Makes the EEPROM images a scenario asks for by name.
class ImageFactory {
public:
    // Random content from the seed, every block summing to 0 mod 256, except
    // the blocks named in `broken`, whose sum is made non-zero.
    static Eeprom valid(std::uint32_t seed, const std::vector<std::string>& broken = {});
    static Eeprom erased();
    static Eeprom zero();
};

}  // namespace zsim
