#pragma once

#include <cstdint>
#include <set>
#include <string>

#include "ImageLayout.h"

namespace zsim {

// One channel card as the mainframe holds it.
struct Card {
    std::string serial;
    std::string model;
    std::uint8_t mode = 0;
    Eeprom eeprom{};
    // Every write is refused with kErrWriteProtected and changes nothing.
    bool writeProtected = false;
    // Addresses that take no write: the frame is accepted, the old byte stays.
    std::set<unsigned> stuck;
};

}  // namespace zsim
