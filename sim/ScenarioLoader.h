#pragma once

#include <string>

#include <nlohmann/json_fwd.hpp>

#include "Scenario.h"

namespace zsim {

// Reads a scenario from JSON. Throws ScenarioError naming the place (JSON
// pointer, or line:column for a syntax error) and the reason.
class ScenarioLoader {
public:
    static Scenario fromFile(const std::string& path);
    static Scenario fromText(const std::string& text);
    static Scenario fromJson(const nlohmann::json& doc);
};

}  // namespace zsim
