#pragma once

#include <optional>
#include <string>

#include <nlohmann/json.hpp>

#include "BusLog.h"
#include "TestImages.h"

namespace valdina::test {

// Points the simulated mainframe at a scenario for the lifetime of this
// object: writes it to a fresh temporary file, sets ZENTRA_SIM_SCENARIO to
// it and ZENTRA_SIM_TRACE to a fresh, empty bus log. The simulator reloads
// (all state reset) on its next call since the path is new. The destructor
// restores both variables and removes the files.
class SimScenario {
public:
    explicit SimScenario(const nlohmann::json& scenario);
    // Lets a scenario be written in place: SimScenario sc({{"off_bus", true}}).
    SimScenario(nlohmann::json::initializer_list_t scenario) : SimScenario(nlohmann::json(scenario)) {}
    // The built-in mainframe, freshly reset.
    static nlohmann::json builtIn() { return {{"base", "default"}}; }
    // Writes `text` as it is, e.g. to test how a malformed file is reported.
    static SimScenario raw(const std::string& text);

    SimScenario(const SimScenario&) = delete;
    SimScenario& operator=(const SimScenario&) = delete;
    ~SimScenario();

    const std::string& scenarioPath() const { return m_scenarioPath; }
    const std::string& tracePath() const { return m_tracePath; }
    BusLog busLog() const { return BusLog::read(m_tracePath); }

    // A card entry whose EEPROM holds exactly `image`.
    static nlohmann::json imageCard(int channel, const TestImages::Image& image, const std::string& model = "T210");

private:
    struct RawTag {};
    SimScenario(RawTag, const std::string& text);
    void install(const std::string& text);

    std::string m_scenarioPath;
    std::string m_tracePath;
    std::optional<std::string> m_oldScenario;
    std::optional<std::string> m_oldTrace;
};

}  // namespace valdina::test
