#include "BlockSummary.h"

#include <cstddef>

std::array<BlockSummary, kEepromBlocks.size()> SummarizeBlocks(const EepromImage& image, bool exemptModel)
{
    std::array<BlockSummary, kEepromBlocks.size()> summary{};
    for (std::size_t i = 0; i < kEepromBlocks.size(); ++i) {
        const EepromBlock& block = kEepromBlocks[i];
        summary[i].block = block;
        summary[i].sum = BlockSum(image.data() + block.offset, block.length);
        summary[i].valid = summary[i].sum == 0;
        summary[i].checked = i == 0 || !exemptModel;
    }
    return summary;
}
