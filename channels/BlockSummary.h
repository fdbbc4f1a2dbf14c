#pragma once
// Each checksummed block of an image with its byte sum and verdict, and whether a
// card of its model has it checked: the rule under both the image checks and the
// dump's block listing.

#include <array>
#include <cstdint>

#include "EepromImage.h"
#include "EepromLayout.h"

struct BlockSummary {
    EepromBlock block;
    std::uint8_t sum = 0;   // modulo 256
    bool valid = false;
    bool checked = true;    // false for the blocks that the card's model is exempt from
};

// The header is checked for every model, every other block unless the model is exempt.
std::array<BlockSummary, kEepromBlocks.size()> SummarizeBlocks(const EepromImage& image, bool exemptModel);
