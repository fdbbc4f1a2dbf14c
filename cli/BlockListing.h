#pragma once
// dump: one line per checksummed block of the image, with its sum and verdict.

#include <string>

#include "CChannelInfo.h"

std::string FormatBlockListing(const EepromImage& image, const CChannelInfo& card);
