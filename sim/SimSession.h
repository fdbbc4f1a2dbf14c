#pragma once

#include <memory>
#include <optional>
#include <string>

#include "BusTrace.h"
#include "GpibBus.h"

namespace zsim {

// The simulator's process-wide state. The program never unloads the driver,
// so the scenario and bus log follow their environment variables: whenever
// ZENTRA_SIM_SCENARIO or ZENTRA_SIM_TRACE holds another value than the one
// last seen, the scenario is reloaded (all state reset) or the log reopened.
class SimSession {
public:
    static SimSession& instance();

    // Call at the start of every driver call.
    void refresh();
    GpibBus& bus() { return *m_bus; }
    BusTrace& trace() { return m_trace; }

private:
    SimSession() = default;
    void loadScenario(const std::optional<std::string>& path);

    bool m_started = false;
    std::optional<std::string> m_scenarioPath;
    std::optional<std::string> m_tracePath;
    std::unique_ptr<GpibBus> m_bus;
    BusTrace m_trace;
};

}  // namespace zsim
