#include "SimScenario.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <stdexcept>
#include <unistd.h>

namespace valdina::test {

namespace {

std::optional<std::string> env(const char* name) {
    const char* v = std::getenv(name);
    return v ? std::optional<std::string>(v) : std::nullopt;
}

void restore(const char* name, const std::optional<std::string>& value) {
    if (value) setenv(name, value->c_str(), 1);
    else unsetenv(name);
}

// One folder per test process; file names never repeat within it, so the
// simulator sees a new value on every scenario.
const std::string& tempFolder() {
    static const std::string folder = [] {
        const char* base = std::getenv("TMPDIR");
        std::string pattern = std::string(base && *base ? base : "/tmp") + "/valdina-sim-XXXXXX";
        if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot create " + pattern);
        return pattern;
    }();
    return folder;
}

std::string freshPath(const char* stem, const char* extension) {
    static int counter = 0;
    return tempFolder() + "/" + stem + "-" + std::to_string(++counter) + extension;
}

}  // namespace

SimScenario::SimScenario(const nlohmann::json& scenario) { install(scenario.dump(2)); }

SimScenario::SimScenario(RawTag, const std::string& text) { install(text); }

SimScenario SimScenario::raw(const std::string& text) { return SimScenario(RawTag{}, text); }

void SimScenario::install(const std::string& text) {
    m_scenarioPath = freshPath("scenario", ".json");
    m_tracePath = freshPath("bus", ".log");
    std::ofstream(m_scenarioPath, std::ios::binary) << text;
    m_oldScenario = env("ZENTRA_SIM_SCENARIO");
    m_oldTrace = env("ZENTRA_SIM_TRACE");
    setenv("ZENTRA_SIM_SCENARIO", m_scenarioPath.c_str(), 1);
    setenv("ZENTRA_SIM_TRACE", m_tracePath.c_str(), 1);
}

SimScenario::~SimScenario() {
    restore("ZENTRA_SIM_SCENARIO", m_oldScenario);
    restore("ZENTRA_SIM_TRACE", m_oldTrace);
    std::remove(m_scenarioPath.c_str());
    std::remove(m_tracePath.c_str());
}

nlohmann::json SimScenario::imageCard(int channel, const TestImages::Image& image, const std::string& model) {
    return {{"channel", channel}, {"model", model}, {"image", "hex"}, {"hex", TestImages::toHex(image)}};
}

}  // namespace valdina::test
