#pragma once
// The one walk over the cards the scan found, in increasing channel number, for
// the pass, the report, the JSON and the JUnit file alike.

#include <algorithm>
#include <ranges>

#include "ChannelTable.h"

// The channel numbers of the present cards; the table is read as the walk goes.
inline auto PresentChannels(const ChannelTable& channels)
{
    return std::views::iota(0, kChannelCount) | std::views::filter([&channels](int channel) {
               return channels[static_cast<std::size_t>(channel)].m_nStatus != StatusNotPresent;
           });
}

inline int CountPresentChannels(const ChannelTable& channels)
{
    return static_cast<int>(std::ranges::distance(PresentChannels(channels)));
}
