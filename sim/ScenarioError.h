#pragma once

#include <stdexcept>
#include <string>

namespace zsim {

// A scenario that cannot be used: where in the file, and why.
class ScenarioError : public std::runtime_error {
public:
    ScenarioError(std::string place, const std::string& reason)
        : std::runtime_error(reason), m_place(std::move(place)) {}
    const std::string& place() const { return m_place; }

private:
    std::string m_place;
};

}  // namespace zsim
