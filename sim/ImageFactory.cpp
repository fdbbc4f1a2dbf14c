#include "ImageFactory.h"

#include <random>

namespace zsim {

Eeprom ImageFactory::valid(std::uint32_t seed, const std::vector<std::string>& broken) {
    // mt19937's output is fixed by the standard, so a seed gives the same
    // image on every platform (distributions would not).
    std::mt19937 rng(seed);
    Eeprom image{};
    for (auto& b : image) b = static_cast<std::uint8_t>(rng() & 0xFF);
    for (const auto& block : ImageLayout::blocks()) {
        unsigned sum = 0;
        for (int i = 0; i < block.length - 1; ++i) sum += image[block.offset + i];
        // The last byte balances the block; a broken block is off by one.
        auto& last = image[block.offset + block.length - 1];
        last = static_cast<std::uint8_t>(0x100 - (sum & 0xFF));
        for (const auto& name : broken)
            if (name == block.name) last = static_cast<std::uint8_t>(last + 1);
    }
    return image;
}

Eeprom ImageFactory::erased() {
    Eeprom image;
    image.fill(0xFF);
    return image;
}

Eeprom ImageFactory::zero() { return Eeprom{}; }

}  // namespace zsim
