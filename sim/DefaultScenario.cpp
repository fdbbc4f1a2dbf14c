#include "DefaultScenario.h"

#include <nlohmann/json.hpp>

namespace zsim {

nlohmann::json DefaultScenario::json() {
    using nlohmann::json;
    json cards = json::array();
    auto good = [&](int channel) { cards.push_back({{"channel", channel}}); };

    // Rack 0: good cards, operating modes with bit 0 set and clear.
    for (int ch = 0; ch < 12; ++ch) good(ch);
    cards[3]["mode"] = 1;
    cards[4]["mode"] = 6;

    // Rack 1: exempt models, an erased EEPROM, an all-zero (valid) image.
    for (int ch = 16; ch < 22; ++ch) good(ch);
    cards.push_back({{"channel", 22}, {"model", "T208"}, {"broken", {"gain"}}});   // exempt: still Good
    cards.push_back({{"channel", 23}, {"model", "T213"}});
    cards.push_back({{"channel", 24}, {"image", "erased"}});                       // Fail, names Xmon
    cards.push_back({{"channel", 25}, {"model", "T213"}, {"broken", {"Header"}}}); // exempt, still Fail
    cards.push_back({{"channel", 26}, {"image", "zero"}});

    // Rack 2: checksum failures, the factory-default serial, gain step errors.
    for (int ch = 32; ch < 37; ++ch) good(ch);
    cards.push_back({{"channel", 37}, {"broken", {"Rcal", "Xmon"}}});
    cards.push_back({{"channel", 38}, {"broken", {"Header"}}});
    cards.push_back({{"channel", 39}, {"serial", "00000001"}});
    cards.push_back({{"channel", 40}, {"mode", 2}});
    cards.push_back({{"channel", 41}});
    cards.push_back({{"channel", 42}, {"broken", {"filter"}}});

    // Rack 7: a row of good cards; rack 15: the last position.
    for (int ch = 112; ch < 120; ++ch) good(ch);
    good(255);

    json faults = json::array();
    faults.push_back({{"command", "SetGain"}, {"channel", 40}, {"gain", 1000}, {"kind", "error"}, {"stb", 0x50}});
    faults.push_back({{"command", "SetGain"}, {"channel", 41}, {"gain", 1}, {"kind", "error"}, {"stb", 0x45}});
    return json{{"cards", cards}, {"faults", faults}};
}

}  // namespace zsim
