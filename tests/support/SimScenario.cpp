#include "SimScenario.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <stdexcept>

namespace valdina::test {

namespace {

std::optional<std::string> env(const char* name) {
    const char* v = std::getenv(name);
    return v ? std::optional<std::string>(v) : std::nullopt;
}

void setEnv(const char* name, const std::string& value) {
#ifdef _WIN32
    _putenv_s(name, value.c_str());
#else
    setenv(name, value.c_str(), 1);
#endif
}

void restore(const char* name, const std::optional<std::string>& value) {
#ifdef _WIN32
    // An empty value removes the variable on Windows.
    _putenv_s(name, value ? value->c_str() : "");
#else
    if (value) setenv(name, value->c_str(), 1);
    else unsetenv(name);
#endif
}

// One folder per test process; file names never repeat within it, so the
// simulator sees a new value on every scenario. Removed at exit, when every
// scenario has removed its own files.
struct TempFolder {
    std::string path;
    TempFolder() {
        std::random_device random;
        for (int attempt = 0; attempt < 100 && path.empty(); ++attempt) {
            const auto candidate = std::filesystem::temp_directory_path() / ("valdina-sim-" + std::to_string(random()));
            if (std::filesystem::create_directory(candidate)) path = candidate.string();
        }
        if (path.empty()) throw std::runtime_error("cannot create a folder for the simulator's files");
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove(path, ignored);
    }
};

const std::string& tempFolder() {
    static const TempFolder folder;
    return folder.path;
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
    setEnv("ZENTRA_SIM_SCENARIO", m_scenarioPath);
    setEnv("ZENTRA_SIM_TRACE", m_tracePath);
}

SimScenario::~SimScenario() {
    restore("ZENTRA_SIM_SCENARIO", m_oldScenario);
    restore("ZENTRA_SIM_TRACE", m_oldTrace);
    std::remove(m_scenarioPath.c_str());
    std::remove(m_tracePath.c_str());
}

void SimScenario::clearBusLog() const { std::ofstream(m_tracePath, std::ios::binary | std::ios::trunc); }

nlohmann::json SimScenario::imageCard(int channel, const TestImages::Image& image, const std::string& model) {
    return {{"channel", channel}, {"model", model}, {"image", "hex"}, {"hex", TestImages::toHex(image)}};
}

}  // namespace valdina::test
