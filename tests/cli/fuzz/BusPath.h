#pragma once
// The whole bus path, from driver status to every output, run against the fuzz
// driver library: scan, verify pass, text report and JSON, then the command
// line's peek, poke, clear and dump. Each output is checked for its layout; a
// broken check prints what broke and aborts, under the fuzzer and in the replay.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace valdina::fuzz {

// The first bytes of an input: which status exports the binding reads, and the
// arguments of peek, poke and dump. The driver's answers follow them.
struct BusPathSettings {
    bool niNames = false;
    int channel = 0;            // any 16-bit signed value, so also no card's channel
    std::uint16_t address = 0;
    std::uint8_t byte = 0;
};
constexpr std::size_t kSettingsSize = 6;

BusPathSettings ReadSettings(const std::uint8_t* data, std::size_t size);
std::vector<std::uint8_t> WriteSettings(const BusPathSettings& settings);

// The fuzz driver library, loaded once.
class FuzzDriver {
public:
    static FuzzDriver& Instance();
    // The driver answers from these bytes; they must outlive the run.
    void Replay(const std::uint8_t* data, std::size_t size);
    // The driver passes every call on to the library `path` and records its answers.
    bool Record(const char* path);
    // While recording: call number `call` (from 0) ends with this status, and
    // FindLstn or ReadStatusByte stores `value`.
    void Twist(long call, int ibsta, int iberr, long ibcntl, int value);
    std::vector<std::uint8_t> Recorded() const;

private:
    FuzzDriver();
    void* m_handle;
};

// One run over the driver as it is set up. Returns what it printed: report,
// JSON, and the peek and dump outputs.
std::string RunBusPath(const BusPathSettings& settings);

// Settings and answers in one input, as the fuzzer gives them.
std::string RunBusPathInput(const std::uint8_t* data, std::size_t size);

} // namespace valdina::fuzz
