#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace valdina::test {

// EEPROM images whose bytes a test knows, to hand to the simulator as hex.
// Written independently of the simulator's own generator, so tests that use
// both check one against the other.
class TestImages {
public:
    using Image = std::array<std::uint8_t, 512>;
    struct Block {
        std::string_view name;
        int offset;
        int length;
    };

    static const std::vector<Block>& blocks();
    // Pseudo-random bytes from the seed; every block sums to 0 mod 256
    // except those named in `broken`.
    static Image valid(std::uint32_t seed = 1, const std::vector<std::string>& broken = {});
    static Image erased();
    static Image zero();
    // Throws std::invalid_argument for an unknown block name.
    static bool blockValid(const Image& image, std::string_view block);
    static std::string toHex(const Image& image);
};

}  // namespace valdina::test
