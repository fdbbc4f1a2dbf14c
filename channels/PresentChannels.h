#pragma once
// The one walk over the cards the scan found, in increasing channel number, for
// the pass, the report, the JSON and the JUnit file alike.

#include <vector>

#include "ChannelTable.h"

// The channel numbers of the present cards, taken when called. A list rather than
// a std::views filter: clang 14 cannot compile libstdc++ 12's views (the fuzz build).
inline std::vector<int> PresentChannels(const ChannelTable& channels)
{
    std::vector<int> present;
    for (int channel = 0; channel < kChannelCount; ++channel) {
        if (channels[static_cast<std::size_t>(channel)].m_nStatus != StatusNotPresent)
            present.push_back(channel);
    }
    return present;
}

inline int CountPresentChannels(const ChannelTable& channels)
{
    return static_cast<int>(PresentChannels(channels).size());
}
