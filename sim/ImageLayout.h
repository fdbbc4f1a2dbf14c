#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace zsim {

inline constexpr int kEepromSize = 512;
using Eeprom = std::array<std::uint8_t, kEepromSize>;

struct ImageBlock {
    std::string_view name;
    int offset;
    int length;
};

// The checksummed blocks of a card's EEPROM image; the bytes between them
// belong to no block. The simulated mainframe keeps its own copy of the table on
// purpose: it is an independent instrument, so a wrong table in the channel core
// shows up as cards judged wrongly rather than agreeing with itself.
class ImageLayout {
public:
    static const std::array<ImageBlock, 7>& blocks();
    static std::optional<ImageBlock> find(std::string_view name);
    static bool blockValid(const Eeprom& image, const ImageBlock& block);
};

}  // namespace zsim
