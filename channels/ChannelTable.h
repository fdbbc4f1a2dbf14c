#pragma once
// The 256 channel records, record n for channel n = rack * 16 + slot.

#include <array>

#include "CChannelInfo.h"

using ChannelTable = std::array<CChannelInfo, kChannelCount>;
