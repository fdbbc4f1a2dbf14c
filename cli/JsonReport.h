#pragma once
// --json: the channel table (every card present) and the failure messages shown.

#include <string>
#include <vector>

#include "ChannelTable.h"

std::string FormatJsonReport(const ChannelTable& channels, const std::vector<std::string>& failures);
