#include "ImageLayout.h"

namespace zsim {

const std::array<ImageBlock, 7>& ImageLayout::blocks() {
    static const std::array<ImageBlock, 7> kBlocks{{
        {"Header", 0, 20},
        {"gain", 24, 176},
        {"filter", 204, 76},
        {"Rcal", 284, 36},
        {"Vexc", 324, 76},
        {"Iexc", 400, 76},
        {"Xmon", 476, 36},
    }};
    return kBlocks;
}

std::optional<ImageBlock> ImageLayout::find(std::string_view name) {
    for (const auto& b : blocks())
        if (b.name == name) return b;
    return std::nullopt;
}

bool ImageLayout::blockValid(const Eeprom& image, const ImageBlock& block) {
    unsigned sum = 0;
    for (int i = 0; i < block.length; ++i) sum += image[block.offset + i];
    return (sum & 0xFF) == 0;
}

}  // namespace zsim
