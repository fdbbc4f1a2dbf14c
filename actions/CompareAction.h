#pragma once

#include <string>
#include <vector>

#include "CardAction.h"
#include "ImageCompare.h"

struct CardComparison {
    ActionResult result;   // Done: the same; NotGood: they differ; the summary lists them
    std::vector<ImageDifference> differences;   // card first, file second
};

// Compares the card at `channel` with the image file at `path`, byte by byte.
CardComparison CompareCardWithImage(const CardActionFront& front, int channel, const std::string& path);
