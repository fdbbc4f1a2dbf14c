#pragma once
// What the benchmarks share: a message sink that counts what the system says, and a
// simulated mainframe of `cards` cards in channels 0, 1, ...

#include <string>

#include <nlohmann/json.hpp>

#include "IOperatorMessages.h"

class CountingMessages final : public IOperatorMessages {
public:
    void ShowMessage(const std::string&, MessageIcon) override { ++count; }
    int count = 0;
};

inline nlohmann::json MainframeOfCards(int cards, int latencyUs = 0)
{
    nlohmann::json json = {{"latency_us", latencyUs}, {"cards", nlohmann::json::array()}};
    for (int n = 0; n < cards; ++n)
        json["cards"].push_back({{"channel", n}});
    return json;
}
