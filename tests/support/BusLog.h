#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace valdina::test {

// One line of the simulator's bus log, i.e. one driver call.
struct BusRecord {
    std::string routine;               // SendIFC, DevClear, FindLstn, Send, Receive, WaitSRQ, ReadStatusByte
    std::optional<unsigned> addr;
    std::optional<std::string> cmd;    // text of the transaction's Send
    std::vector<std::uint8_t> reply;   // bytes a Receive delivered
    std::optional<int> srq;            // WaitSRQ
    std::optional<int> stb;            // ReadStatusByte, when the poll succeeded
    int ibsta = 0;
    int iberr = 0;

    bool failed() const { return (ibsta & 0x8000) != 0; }
};

// The bus log written under ZENTRA_SIM_TRACE, read back for assertions.
class BusLog {
public:
    // Reads every line of the file; a missing file is an empty log. Throws
    // std::runtime_error naming the line when one is not in the log format.
    static BusLog read(const std::string& path);
    static BusRecord parseLine(const std::string& line);

    const std::vector<BusRecord>& records() const { return m_records; }
    // The command texts of all Send calls, in order.
    std::vector<std::string> commands() const;
    // The records of one routine, in order.
    std::vector<BusRecord> of(const std::string& routine) const;

private:
    std::vector<BusRecord> m_records;
};

}  // namespace valdina::test
