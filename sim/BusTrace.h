#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "BusStatus.h"

namespace zsim {

// What one driver call contributes to its bus-log line, besides the status.
struct TraceEntry {
    explicit TraceEntry(const char* r, std::optional<unsigned> a = std::nullopt) : routine(r), addr(a) {}

    const char* routine;
    std::optional<unsigned> addr;
    std::optional<std::string> cmd;
    std::optional<std::vector<std::uint8_t>> reply;
    std::optional<int> srq;
    std::optional<int> stb;
};

// The bus log: one line per driver call, appended and flushed at once so a
// crashing program still leaves every call it made.
//   ROUTINE [addr=N] [cmd="TEXT"] [reply=HEX] [srq=0|1] [stb=0xNN] ibsta=0xNNNN iberr=N
// In TEXT, '"' and '\' are escaped with '\', other bytes outside printable
// ASCII as \xNN.
class BusTrace {
public:
    BusTrace() = default;
    BusTrace(const BusTrace&) = delete;
    BusTrace& operator=(const BusTrace&) = delete;
    ~BusTrace();

    // Opens `path` for appending (nullopt: no log). Returns false when it cannot.
    bool open(const std::optional<std::string>& path);
    void write(const TraceEntry& entry, const BusStatus& status);
    static std::string format(const TraceEntry& entry, const BusStatus& status);

private:
    std::FILE* m_file = nullptr;
};

}  // namespace zsim
