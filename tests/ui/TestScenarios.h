#pragma once
// Mainframes the window tests run on.

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "SimScenario.h"

struct TestCard {
    int channel;
    const char* serial;
};

// Six cards whose serials sort differently from their channel numbers; after a
// verify pass 17 (erased image) and 37 (broken gain block) fail, the rest are good.
inline const std::vector<TestCard>& SmallMainframeCards()
{
    static const std::vector<TestCard> cards{
        {0, "00000001"}, {2, "Zeta0002"}, {17, "B1234567"}, {37, "a1234567"}, {40, "B123"}, {255, "10000000"},
    };
    return cards;
}

inline nlohmann::json SmallMainframe(nlohmann::json faults = nlohmann::json::array())
{
    nlohmann::json cards = nlohmann::json::array();
    for (const TestCard& card : SmallMainframeCards()) {
        nlohmann::json entry{{"channel", card.channel}, {"serial", card.serial}};
        if (card.channel == 0)
            entry["model"] = "T208";
        if (card.channel == 17)
            entry["image"] = "erased";
        if (card.channel == 37)
            entry["broken"] = {"gain"};
        cards.push_back(entry);
    }
    return {{"base", "empty"}, {"cards", cards}, {"faults", faults}};
}

inline nlohmann::json MainframeOff()
{
    return {{"off_bus", true}};
}
