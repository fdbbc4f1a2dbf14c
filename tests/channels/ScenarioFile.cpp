#include "ScenarioFile.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>

std::string ScenarioFile::CommandOf(const std::string& line)
{
    const std::size_t start = line.find("cmd=\"");
    if (start == std::string::npos)
        return {};
    std::string text;
    for (std::size_t i = start + 5; i < line.size() && line[i] != '"'; ++i) {
        if (line[i] == '\\' && i + 1 < line.size()) {
            if (line[i + 1] == 'x' && i + 3 < line.size()) {
                text += static_cast<char>(std::stoi(line.substr(i + 2, 2), nullptr, 16));
                i += 3;
            } else {
                text += line[++i];
            }
        } else {
            text += line[i];
        }
    }
    return text;
}

ScenarioFile::ScenarioFile(const std::string& json)
{
    char pattern[] = "/tmp/valdina-sim-XXXXXX";
    if (::mkdtemp(pattern) == nullptr)
        throw std::runtime_error("no temporary folder");
    m_dir = pattern;
    std::ofstream(m_dir + "/scenario.json") << json;
    ::setenv("ZENTRA_SIM_SCENARIO", (m_dir + "/scenario.json").c_str(), 1);
    ::setenv("ZENTRA_SIM_TRACE", (m_dir + "/bus.log").c_str(), 1);
}

ScenarioFile::~ScenarioFile()
{
    std::error_code ignored;
    std::filesystem::remove_all(m_dir, ignored);
}

std::vector<std::string> ScenarioFile::LogLines() const
{
    std::vector<std::string> lines;
    std::ifstream log(m_dir + "/bus.log");
    for (std::string line; std::getline(log, line);)
        lines.push_back(line);
    return lines;
}

std::vector<std::string> ScenarioFile::SentCommands() const
{
    std::vector<std::string> commands;
    for (const std::string& line : LogLines()) {
        if (line.rfind("Send ", 0) == 0)
            commands.push_back(CommandOf(line));
    }
    return commands;
}

void ScenarioFile::ClearLog() const
{
    // The simulator appends, so truncating in place keeps its handle valid.
    std::filesystem::resize_file(m_dir + "/bus.log", 0);
}
