#include "CompareChannels.h"

#include <string_view>

namespace {

int Sign(long long difference)
{
    return (difference > 0) - (difference < 0);
}

// Zero-terminated texts compared as unsigned bytes; a proper prefix sorts first.
int CompareTexts(std::string_view a, std::string_view b)
{
    const std::size_t common = a.size() < b.size() ? a.size() : b.size();
    for (std::size_t i = 0; i < common; ++i) {
        const auto byteA = static_cast<unsigned char>(a[i]);
        const auto byteB = static_cast<unsigned char>(b[i]);
        if (byteA != byteB)
            return byteA < byteB ? -1 : 1;
    }
    return Sign(static_cast<long long>(a.size()) - static_cast<long long>(b.size()));
}

} // namespace

int CompareChannels(const ChannelTable& channels, int column, bool descending, int channelA, int channelB)
{
    // Item data outside the table cannot come from a row; such rows compare equal.
    if (channelA < 0 || channelA >= kChannelCount || channelB < 0 || channelB >= kChannelCount)
        return 0;
    const CChannelInfo& a = channels[static_cast<std::size_t>(channelA)];
    const CChannelInfo& b = channels[static_cast<std::size_t>(channelB)];

    int result = 0;
    switch (column) {
    case kColumnStatus:
        result = Sign(static_cast<long long>(a.m_nStatus) - b.m_nStatus);
        break;
    case kColumnSerial:
        result = CompareTexts(a.Serial(), b.Serial());
        break;
    case kColumnError:
        result = CompareTexts(a.m_strError.c_str(), b.m_strError.c_str());
        break;
    default:
        result = Sign(static_cast<long long>(a.m_nAddress) - b.m_nAddress);
        break;
    }
    return descending ? -result : result;
}
