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
    // Every line of the bus log so far, one per driver call.
    std::vector<std::string> LogLines() const;
    // The text of cmd="..." on a log line, escapes undone; empty when it has none.
    static std::string CommandOf(const std::string& line);
    // Drops what the log holds so far, so later checks see only what follows.
    void ClearLog() const;

private:
    std::string m_dir;
};
