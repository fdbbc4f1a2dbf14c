#pragma once
// The order of the channel list's column sort, read from the channel table:
// "Status" by state number, "SN" and "Error" by their texts byte by byte (unsigned),
// every other column by channel number. Returns -1, 0 or +1, negated when descending.

#include "ChannelColumns.h"
#include "ChannelTable.h"

int CompareChannels(const ChannelTable& channels, int column, bool descending, int channelA, int channelB);
