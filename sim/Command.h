#pragma once

#include <cstdint>
#include <string_view>

namespace zsim {

// Kinds of command text, named by the labels the program reports them under.
enum class CommandKind {
    Select, QueryPresent, QuerySN, QueryModel, SetOpMode, GetOpMode, SetGain,
    RdEe1, RdEe4, WrEe1, Unknown
};

std::string_view commandLabel(CommandKind kind);
bool commandKindFromLabel(std::string_view label, CommandKind& out);

// A parsed command text; only the fields of its kind are meaningful.
struct Command {
    CommandKind kind = CommandKind::Unknown;
    int channel = -1;        // Select, and the EEPROM frames (rack * 16 + slot)
    std::uint8_t value = 0;  // SetOpMode mode, WrEe1 data byte
    double gain = 0.0;       // SetGain
    unsigned address = 0;    // EEPROM frames
};

}  // namespace zsim
