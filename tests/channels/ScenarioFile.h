#pragma once
// One simulated mainframe for one test: the scenario JSON in a fresh file (the
// simulator reloads when the path changes) and a fresh bus log next to it.

#include <string>
#include <vector>

class ScenarioFile {
public:
    explicit ScenarioFile(const std::string& json);
    ScenarioFile(const ScenarioFile&) = delete;
    ScenarioFile& operator=(const ScenarioFile&) = delete;
    ~ScenarioFile();

    // The command texts sent so far, in order, from the bus log.
    std::vector<std::string> SentCommands() const;
    // Drops what the log holds so far, so later checks see only what follows.
    void ClearLog() const;

private:
    std::string m_dir;
};
