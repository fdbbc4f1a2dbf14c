#pragma once

#include <cstdint>
#include <string>

#include "ImageLayout.h"

namespace zsim {

// One channel card as the mainframe holds it.
struct Card {
    std::string serial;
    std::string model;
    std::uint8_t mode = 0;
    Eeprom eeprom{};
};

}  // namespace zsim
