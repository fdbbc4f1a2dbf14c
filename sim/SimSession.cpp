#include "SimSession.h"

#include <cstdio>
#include <cstdlib>

#include <nlohmann/json.hpp>

#include "DefaultScenario.h"
#include "ScenarioError.h"
#include "ScenarioLoader.h"

namespace zsim {

namespace {
std::optional<std::string> env(const char* name) {
    const char* v = std::getenv(name);
    return v ? std::optional<std::string>(v) : std::nullopt;
}
}  // namespace

SimSession& SimSession::instance() {
    static SimSession session;
    return session;
}

void SimSession::refresh() {
    const auto scenario = env("ZENTRA_SIM_SCENARIO");
    const auto trace = env("ZENTRA_SIM_TRACE");
    if (!m_started || scenario != m_scenarioPath) loadScenario(scenario);
    if (!m_started || trace != m_tracePath) {
        m_tracePath = trace;
        if (!m_trace.open(trace))
            std::fprintf(stderr, "zentra-sim: bus log \"%s\": cannot be opened for appending\n", trace->c_str());
    }
    m_started = true;
}

void SimSession::loadScenario(const std::optional<std::string>& path) {
    m_scenarioPath = path;
    Scenario scenario;
    try {
        scenario = path ? ScenarioLoader::fromFile(*path) : ScenarioLoader::fromJson(DefaultScenario::json());
    } catch (const ScenarioError& e) {
        // Reported once per load; an unusable scenario leaves nothing to talk to.
        std::fprintf(stderr, "zentra-sim: scenario \"%s\": %s: %s; the mainframe stays off the bus\n",
                     path ? path->c_str() : "(built-in)", e.place().c_str(), e.what());
        scenario = Scenario{};
        scenario.offBus = true;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "zentra-sim: scenario \"%s\": %s; the mainframe stays off the bus\n",
                     path ? path->c_str() : "(built-in)", e.what());
        scenario = Scenario{};
        scenario.offBus = true;
    }
    m_bus = std::make_unique<GpibBus>(std::move(scenario));
}

}  // namespace zsim
