#include "BusLog.h"

#include <fstream>
#include <stdexcept>

namespace valdina::test {

namespace {

[[noreturn]] void bad(const std::string& line, const std::string& why) {
    throw std::runtime_error("bus log line \"" + line + "\": " + why);
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::string quoted(const std::string& line, size_t& pos) {
    std::string out;
    for (++pos; pos < line.size(); ++pos) {
        char c = line[pos];
        if (c == '"') {
            ++pos;
            return out;
        }
        if (c != '\\') {
            out += c;
            continue;
        }
        if (++pos >= line.size()) break;
        c = line[pos];
        if (c == 'x') {
            if (pos + 2 >= line.size() || hexValue(line[pos + 1]) < 0 || hexValue(line[pos + 2]) < 0)
                bad(line, "bad \\x escape");
            out += char(hexValue(line[pos + 1]) * 16 + hexValue(line[pos + 2]));
            pos += 2;
        } else {
            out += c;
        }
    }
    bad(line, "unterminated quoted text");
}

int integer(const std::string& line, const std::string& key, const std::string& v, int base) {
    size_t used = 0;
    int n = 0;
    try {
        n = std::stoi(v, &used, base);
    } catch (const std::exception&) {
        bad(line, "bad number for " + key);
    }
    if (used != v.size()) bad(line, "bad number for " + key);
    return n;
}

int hexField(const std::string& line, const std::string& key, const std::string& v) {
    if (v.rfind("0x", 0) != 0) bad(line, key + " must start with 0x");
    return integer(line, key, v.substr(2), 16);
}

}  // namespace

BusRecord BusLog::parseLine(const std::string& line) {
    BusRecord r;
    size_t pos = line.find(' ');
    r.routine = line.substr(0, pos);
    if (r.routine.empty()) bad(line, "no routine");
    bool sawIbsta = false, sawIberr = false;
    while (pos != std::string::npos && pos < line.size()) {
        if (line[pos] != ' ') bad(line, "expected a space");
        ++pos;
        const size_t eq = line.find('=', pos);
        if (eq == std::string::npos) bad(line, "expected key=value");
        const std::string key = line.substr(pos, eq - pos);
        pos = eq + 1;
        if (key == "cmd") {
            if (pos >= line.size() || line[pos] != '"') bad(line, "cmd must be quoted");
            r.cmd = quoted(line, pos);
            continue;
        }
        const size_t end = line.find(' ', pos);
        const std::string value = line.substr(pos, end == std::string::npos ? std::string::npos : end - pos);
        pos = end;
        if (key == "addr") r.addr = unsigned(integer(line, key, value, 10));
        else if (key == "srq") r.srq = integer(line, key, value, 10);
        else if (key == "stb") r.stb = hexField(line, key, value);
        else if (key == "ibsta") { r.ibsta = hexField(line, key, value); sawIbsta = true; }
        else if (key == "iberr") { r.iberr = integer(line, key, value, 10); sawIberr = true; }
        else if (key == "reply") {
            if (value.size() % 2 != 0) bad(line, "odd number of reply digits");
            for (size_t i = 0; i < value.size(); i += 2) {
                const int hi = hexValue(value[i]), lo = hexValue(value[i + 1]);
                if (hi < 0 || lo < 0) bad(line, "bad reply digit");
                r.reply.push_back(std::uint8_t(hi * 16 + lo));
            }
        } else {
            bad(line, "unknown key " + key);
        }
    }
    if (!sawIbsta || !sawIberr) bad(line, "ibsta and iberr are required");
    return r;
}

BusLog BusLog::read(const std::string& path) {
    BusLog log;
    std::ifstream in(path);
    std::string line;
    // A last line without its newline is still being written by a running
    // simulator: a test that watches the log while the program runs skips it.
    while (std::getline(in, line) && !in.eof())
        if (!line.empty()) log.m_records.push_back(parseLine(line));
    return log;
}

std::vector<std::string> BusLog::commands() const {
    std::vector<std::string> out;
    for (const auto& r : m_records)
        if (r.routine == "Send" && r.cmd) out.push_back(*r.cmd);
    return out;
}

std::vector<BusRecord> BusLog::of(const std::string& routine) const {
    std::vector<BusRecord> out;
    for (const auto& r : m_records)
        if (r.routine == routine) out.push_back(r);
    return out;
}

}  // namespace valdina::test
