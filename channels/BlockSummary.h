#pragma once
// Each checksummed block of an image with its byte sum and verdict, by the same
// rule as the image checks; `checked` is false for the blocks that the card's
// model is exempt from.

#include <array>
#include <cstddef>
#include <cstdint>

#include "CChannelInfo.h"
#include "EepromLayout.h"

struct BlockSummary {
    EepromBlock block;
    std::uint8_t sum = 0;   // modulo 256
    bool valid = false;
    bool checked = true;
};

inline std::array<BlockSummary, kEepromBlocks.size()> SummarizeBlocks(const EepromImage& image, const CChannelInfo& card)
{
    std::array<BlockSummary, kEepromBlocks.size()> summary{};
    const bool exempt = card.IsExemptModel();
    for (std::size_t i = 0; i < kEepromBlocks.size(); ++i) {
        const EepromBlock& block = kEepromBlocks[i];
        const std::uint8_t* first = image.data() + block.offset;
        summary[i].block = block;
        summary[i].sum = BlockSum(first, block.length);
        summary[i].valid = summary[i].sum == 0;
        summary[i].checked = i == 0 || !exempt;  // the header is checked for every model
    }
    return summary;
}
