#include "TestImages.h"

#include <random>
#include <stdexcept>

namespace valdina::test {

namespace {
const TestImages::Block& findBlock(std::string_view name) {
    for (const auto& b : TestImages::blocks())
        if (b.name == name) return b;
    throw std::invalid_argument("no EEPROM block named " + std::string(name));
}
}  // namespace

const std::vector<TestImages::Block>& TestImages::blocks() {
    static const std::vector<Block> kBlocks{{"Header", 0, 20},  {"gain", 24, 176}, {"filter", 204, 76},
                                            {"Rcal", 284, 36},  {"Vexc", 324, 76}, {"Iexc", 400, 76},
                                            {"Xmon", 476, 36}};
    return kBlocks;
}

TestImages::Image TestImages::valid(std::uint32_t seed, const std::vector<std::string>& broken) {
    std::minstd_rand rng(seed == 0 ? 1 : seed);
    Image image{};
    for (auto& b : image) b = std::uint8_t(rng() >> 7);
    for (const auto& name : broken) findBlock(name);
    for (const auto& block : blocks()) {
        // Balance through the first byte; a broken block keeps a sum of 1.
        unsigned rest = 0;
        for (int i = 1; i < block.length; ++i) rest += image[block.offset + i];
        bool isBroken = false;
        for (const auto& name : broken) isBroken = isBroken || name == block.name;
        image[block.offset] = std::uint8_t((isBroken ? 1u : 0u) - rest);
    }
    return image;
}

TestImages::Image TestImages::erased() {
    Image image;
    image.fill(0xFF);
    return image;
}

TestImages::Image TestImages::zero() { return Image{}; }

bool TestImages::blockValid(const Image& image, std::string_view name) {
    const auto& block = findBlock(name);
    unsigned sum = 0;
    for (int i = 0; i < block.length; ++i) sum += image[block.offset + i];
    return sum % 256 == 0;
}

std::string TestImages::toHex(const Image& image) {
    static const char* kHex = "0123456789ABCDEF";
    std::string out;
    for (auto b : image) {
        out += kHex[b >> 4];
        out += kHex[b & 15];
    }
    return out;
}

}  // namespace valdina::test
