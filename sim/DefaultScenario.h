#pragma once

#include <nlohmann/json_fwd.hpp>

namespace zsim {

// The mainframe the simulator plays when no scenario file is named: 43 cards
// over five racks showing every verdict the program can reach.
class DefaultScenario {
public:
    static nlohmann::json json();
};

}  // namespace zsim
