#include "JsonReport.h"

#include <nlohmann/json.hpp>

#include <string>

#include "PresentChannels.h"

std::string FormatJsonReport(const ChannelTable& channels, const std::vector<std::string>& failures)
{
    nlohmann::ordered_json cards = nlohmann::ordered_json::array();
    for (int n : PresentChannels(channels)) {
        const CChannelInfo& info = channels[static_cast<std::size_t>(n)];
        cards.push_back({
            {"channel", n},
            {"rack", RackOf(n)},
            {"slot", SlotOf(n)},
            {"serial", std::string(info.Serial())},
            {"model", std::string(info.Model())},
            {"state", info.StatusText()},
            {"error", info.m_strError},
        });
    }
    const nlohmann::ordered_json report = {{"channels", cards}, {"failures", failures}};
    // Serial and model are whatever bytes the card sent: bytes that are not
    // UTF-8 become U+FFFD rather than aborting the output.
    return report.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) + "\n";
}
