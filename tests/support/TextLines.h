#pragma once

#include <sstream>
#include <string>
#include <vector>

namespace valdina::test {

// The lines of a program's output, without their line feeds.
inline std::vector<std::string> SplitLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

}  // namespace valdina::test
