#include "CommandParser.h"

#include <charconv>
#include <string>

namespace zsim {

namespace {

bool decimal(std::string_view s, int maxValue, int& out) {
    if (s.empty() || s.size() > 3) return false;
    int v = 0;
    for (char c : s) {
        if (c < '0' || c > '9') return false;
        v = v * 10 + (c - '0');
    }
    if (v > maxValue) return false;
    out = v;
    return true;
}

// The program sends uppercase hex; lowercase is refused so that a formatting
// slip shows up as an instrument error instead of passing silently.
bool hex(std::string_view s, unsigned& out) {
    unsigned v = 0;
    for (char c : s) {
        if (c >= '0' && c <= '9') v = v * 16 + unsigned(c - '0');
        else if (c >= 'A' && c <= 'F') v = v * 16 + unsigned(c - 'A' + 10);
        else return false;
    }
    out = v;
    return true;
}

// A gain as the mainframe reads it: digits, a point and two digits, nothing else.
// "1000,00", "1e3" or " 1.00" are unknown commands, as on the real instrument.
bool gain(std::string_view s, double& out) {
    const auto point = s.find('.');
    if (point == 0 || point == std::string_view::npos || s.size() - point != 3) return false;
    for (std::size_t i = 0; i < s.size(); ++i)
        if (i != point && (s[i] < '0' || s[i] > '9')) return false;
    double g = 0.0;
    const auto [end, error] = std::from_chars(s.data(), s.data() + s.size(), g, std::chars_format::fixed);
    if (error != std::errc() || end != s.data() + s.size()) return false;
    out = g;
    return true;
}

Command eepromFrame(std::string_view t) {
    Command cmd;
    const bool write = t[0] == '>';
    if (t.size() != (write ? 15u : 13u)) return cmd;
    unsigned rack = 0, mask = 0, code = 0, address = 0, data = 0;
    if (!hex(t.substr(1, 2), rack) || !hex(t.substr(3, 4), mask) || !hex(t.substr(7, 2), code) ||
        !hex(t.substr(9, 4), address))
        return cmd;
    if (write && !hex(t.substr(13, 2), data)) return cmd;
    if (rack > 15 || mask == 0 || (mask & (mask - 1)) != 0) return cmd;
    int slot = 0;
    while ((1u << slot) != mask) ++slot;
    if (write && code == 0xA0) cmd.kind = CommandKind::WrEe1;
    else if (!write && code == 0x20) cmd.kind = CommandKind::RdEe1;
    else if (!write && code == 0x22) cmd.kind = CommandKind::RdEe4;
    else return cmd;
    cmd.channel = int(rack) * 16 + slot;
    cmd.address = address;
    cmd.value = static_cast<std::uint8_t>(data);
    return cmd;
}

}  // namespace

Command CommandParser::parse(std::string_view t) {
    Command cmd;
    if (t.empty()) return cmd;
    if (t[0] == '<' || t[0] == '>') return eepromFrame(t);
    if (t == "Q2") cmd.kind = CommandKind::QueryPresent;
    else if (t == "Q5 7") cmd.kind = CommandKind::QuerySN;
    else if (t == "Q5 6") cmd.kind = CommandKind::QueryModel;
    else if (t == "C1D?") cmd.kind = CommandKind::GetOpMode;
    else if (t.starts_with("S ")) {
        if (decimal(t.substr(2), 255, cmd.channel)) cmd.kind = CommandKind::Select;
    } else if (t.starts_with("C1D")) {
        int mode = 0;
        if (decimal(t.substr(3), 255, mode)) {
            cmd.kind = CommandKind::SetOpMode;
            cmd.value = static_cast<std::uint8_t>(mode);
        }
    } else if (t.starts_with("G ")) {
        if (gain(t.substr(2), cmd.gain)) cmd.kind = CommandKind::SetGain;
    }
    return cmd;
}

}  // namespace zsim
