#include "Command.h"

#include <array>

namespace zsim {

namespace {
// In the order of CommandKind.
constexpr std::array<std::string_view, 11> kLabels{
    "Select", "QueryPresent", "QuerySN", "QueryModel", "SetOpMode", "GetOpMode",
    "SetGain", "RdEe1", "RdEe4", "WrEe1", "Unknown"};
}  // namespace

std::string_view commandLabel(CommandKind kind) { return kLabels[static_cast<size_t>(kind)]; }

bool commandKindFromLabel(std::string_view label, CommandKind& out) {
    for (size_t i = 0; i + 1 < kLabels.size(); ++i)
        if (kLabels[i] == label) {
            out = static_cast<CommandKind>(i);
            return true;
        }
    return false;
}

}  // namespace zsim
