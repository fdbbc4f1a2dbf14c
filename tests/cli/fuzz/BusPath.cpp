#include "BusPath.h"

#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <stdexcept>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

#include "CInstrument.h"
#include "ChannelScan.h"
#include "CCliCommands.h"
#include "EepromLayout.h"
#include "IChannelRows.h"
#include "JsonReport.h"
#include "ReportFormat.h"
#include "CStreamMessages.h"
#include "TextFormat.h"
#include "VerifyAll.h"

namespace valdina::fuzz {

namespace {

[[noreturn]] void Broken(const char* what, std::string_view detail)
{
    std::fprintf(stderr, "bus path: %s: \"%.*s\"\n", what, static_cast<int>(detail.size()), detail.data());
    std::abort();
}

void Check(bool holds, const char* what, std::string_view detail = {})
{
    if (!holds)
        Broken(what, detail);
}

std::vector<std::string_view> Lines(std::string_view text, std::string_view what)
{
    Check(text.empty() || text.back() == '\n', "output does not end with a line end", what);
    std::vector<std::string_view> lines;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t end = text.find('\n', at);
        lines.push_back(text.substr(at, end - at));
        at = end + 1;
    }
    return lines;
}

bool Printable(std::string_view text)
{
    for (char c : text) {
        if (c < 0x20 || c > 0x7E)
            return false;
    }
    return true;
}

bool IsHex(std::string_view text)
{
    return !text.empty() && text.find_first_not_of("0123456789ABCDEF") == std::string_view::npos;
}

// `field` holds `value` in decimal, right-aligned.
bool RightAligned(std::string_view field, int value)
{
    const std::string digits = std::to_string(value);
    return field.size() >= digits.size() && field.substr(field.size() - digits.size()) == digits &&
           field.find_first_not_of(' ') == field.size() - digits.size();
}

class CheckingObserver final : public IPassObserver {
public:
    void BeginPass(PassKind) override
    {
        Check(!m_open, "pass begun twice");
        m_open = true;
    }
    void ChannelDone(PassKind, int done, int total, int channel, int status) override
    {
        Check(m_open && done >= 1 && done <= total && total <= kChannelCount, "progress out of range");
        Check(channel >= 0 && channel < kChannelCount && status >= 0 && status <= StatusFail, "card out of range");
    }
    void EndPass(PassKind) override
    {
        Check(m_open, "pass ended twice");
        m_open = false;
    }

private:
    bool m_open = false;
};

void CheckStates(const ChannelTable& channels, bool scanned)
{
    for (int n = 0; n < kChannelCount; ++n) {
        const CChannelInfo& info = channels[static_cast<std::size_t>(n)];
        Check(info.m_nStatus >= StatusNotPresent && info.m_nStatus <= StatusFail, "state outside 0..4");
        if (scanned) {
            Check(info.m_nAddress == n, "scan left a wrong address");
            Check(info.m_nStatus == StatusNotPresent || info.m_nStatus == StatusUnknown || info.m_nStatus == StatusFail,
                  "scan left a state other than 0, 1 or 4");
        }
    }
}

// Header, then one line per present card in channel order:
// serial in 8, rack in 6, slot in 6, two blanks, state in 12, two blanks, error.
std::string CheckReport(const ChannelTable& channels)
{
    const std::string report = FormatReport(channels, "\n");
    const std::vector<std::string_view> lines = Lines(report, "report");
    Check(!lines.empty() && std::string(lines[0]) + "\n" == FormatReportHeader("\n"), "report header", report);
    std::size_t next = 1;
    for (int n = 0; n < kChannelCount; ++n) {
        const CChannelInfo& info = channels[static_cast<std::size_t>(n)];
        if (info.m_nStatus == StatusNotPresent)
            continue;
        Check(next < lines.size(), "report lacks a card", report);
        const std::string_view line = lines[next++];
        Check(line.size() >= 36 && Printable(line), "report line not printable or short", line);
        Check(RightAligned(line.substr(8, 6), RackOf(n)) && RightAligned(line.substr(14, 6), SlotOf(n)),
              "report rack or slot column", line);
        const std::string_view state = line.substr(22, 12);
        Check(line.substr(20, 2) == "  " && line.substr(34, 2) == "  ", "report blanks", line);
        Check(state.substr(0, state.find_last_not_of(' ') + 1) == info.StatusText(), "report state column", line);
        Check(line.substr(36) == info.m_strError, "report description", line);
    }
    Check(next == lines.size(), "report has extra lines", report);
    return report;
}

std::string CheckJson(const ChannelTable& channels, const std::vector<std::string>& shown)
{
    const std::string text = FormatJsonReport(channels, shown);
    nlohmann::json report;
    try {
        report = nlohmann::json::parse(text);
    } catch (const nlohmann::json::exception& error) {
        Broken(error.what(), text);
    }
    const nlohmann::json& cards = report.at("channels");
    std::size_t at = 0;
    for (int n = 0; n < kChannelCount; ++n) {
        const CChannelInfo& info = channels[static_cast<std::size_t>(n)];
        if (info.m_nStatus == StatusNotPresent)
            continue;
        Check(at < cards.size() && cards[at].at("channel") == n, "JSON lacks a card", text);
        Check(cards[at].at("state") == info.StatusText() && cards[at].at("error") == info.m_strError,
              "JSON card differs from its record", text);
        Check(cards[at].at("serial").get<std::string>().size() <= 3 * kIdentityReplySize, "JSON serial too long", text);
        ++at;
    }
    Check(at == cards.size() && report.at("failures").size() == shown.size(), "JSON has extra entries", text);
    return text;
}

// 32 lines of an address and 16 bytes, the model line, the column header and
// one line per block.
void CheckDump(const std::string& dump)
{
    const std::vector<std::string_view> lines = Lines(dump, "dump");
    constexpr std::size_t kHexLines = kEepromSize / 16;
    Check(lines.size() == kHexLines + 2 + kEepromBlocks.size(), "dump line count", dump);
    for (std::size_t i = 0; i < kHexLines; ++i) {
        const std::string_view line = lines[i];
        Check(line.size() == 5 + 16 * 3 && line.substr(0, 4) == FormatText("%04zX", 16 * i) && line[4] == ' ',
              "dump address", line);
        for (std::size_t b = 0; b < 16; ++b)
            Check(line[5 + 3 * b] == ' ' && IsHex(line.substr(6 + 3 * b, 2)), "dump byte", line);
    }
    const std::string_view model = lines[kHexLines];
    Check(Printable(model) && model.starts_with("model \"") &&
              (model.ends_with("\"") || model.ends_with("\" (exempt: only Header is checked)")),
          "dump model line", model);
    Check(lines[kHexLines + 1].starts_with("Block"), "dump block header", lines[kHexLines + 1]);
    for (std::size_t i = 0; i < kEepromBlocks.size(); ++i) {
        const std::string_view line = lines[kHexLines + 2 + i];
        Check(Printable(line) && line.starts_with(kEepromBlocks[i].name) &&
                  (line.ends_with("valid") || line.ends_with("(not checked: exempt model)")),
              "dump block line", line);
    }
}

// Returns what the commands printed on standard output.
std::string RunCli(CInstrument& instrument, const BusPathSettings& settings)
{
    std::ostringstream out;
    std::ostringstream err;
    CCliCommands cli(instrument, out, err, false);
    CliOptions options;
    options.channel = settings.channel;
    options.address = settings.address;
    options.byte = settings.byte;
    options.trace = true;

    options.command = CliCommand::Peek;
    std::string peeked;
    if (cli.Run(options) == 0) {
        peeked = out.str();
        Check(peeked.size() == 5 && peeked.starts_with("0x") && IsHex(peeked.substr(2, 2)) && peeked[4] == '\n',
              "peek output", peeked);
    }
    for (CliCommand command : {CliCommand::Poke, CliCommand::Clear, CliCommand::Dump}) {
        out.str({});
        options.command = command;
        const int exitCode = cli.Run(options);
        if (command != CliCommand::Dump)
            Check(out.str().empty(), "poke or clear printed a result", out.str());
        else if (exitCode == 0)
            CheckDump(out.str());
    }
    return peeked + out.str();
}

} // namespace

BusPathSettings ReadSettings(const std::uint8_t* data, std::size_t size)
{
    std::uint8_t bytes[kSettingsSize] = {};
    for (std::size_t i = 0; i < kSettingsSize && i < size; ++i)
        bytes[i] = data[i];
    BusPathSettings settings;
    settings.niNames = (bytes[0] & 1) != 0;
    settings.channel = static_cast<std::int16_t>(bytes[1] | bytes[2] << 8);
    settings.address = static_cast<std::uint16_t>(bytes[3] | bytes[4] << 8);
    settings.byte = bytes[5];
    return settings;
}

std::vector<std::uint8_t> WriteSettings(const BusPathSettings& settings)
{
    const auto channel = static_cast<std::uint16_t>(settings.channel);
    return {static_cast<std::uint8_t>(settings.niNames ? 1 : 0),
            static_cast<std::uint8_t>(channel), static_cast<std::uint8_t>(channel >> 8),
            static_cast<std::uint8_t>(settings.address), static_cast<std::uint8_t>(settings.address >> 8),
            settings.byte};
}

FuzzDriver& FuzzDriver::Instance()
{
    static FuzzDriver driver;
    return driver;
}

FuzzDriver::FuzzDriver()
    : m_handle(dlopen(FUZZ_DRIVER, RTLD_NOW | RTLD_LOCAL))
{
    if (m_handle == nullptr)
        throw std::runtime_error(dlerror());
}

void FuzzDriver::Replay(const std::uint8_t* data, std::size_t size)
{
    reinterpret_cast<void (*)(const std::uint8_t*, std::size_t)>(dlsym(m_handle, "fuzz_driver_replay"))(data, size);
}

bool FuzzDriver::Record(const char* path)
{
    return reinterpret_cast<int (*)(const char*)>(dlsym(m_handle, "fuzz_driver_record"))(path) != 0;
}

void FuzzDriver::Twist(long call, int ibsta, int iberr, long ibcntl, int value)
{
    reinterpret_cast<void (*)(long, int, int, long, int)>(dlsym(m_handle, "fuzz_driver_twist"))(call, ibsta, iberr,
                                                                                               ibcntl, value);
}

std::vector<std::uint8_t> FuzzDriver::Recorded() const
{
    std::size_t size = 0;
    const std::uint8_t* data =
        reinterpret_cast<const std::uint8_t* (*)(std::size_t*)>(dlsym(m_handle, "fuzz_driver_recorded"))(&size);
    return {data, data + size};
}

std::string RunBusPath(const BusPathSettings& settings)
{
    // The binding keeps its library and routines for the whole process, as in the program.
    static gpib::CGpibBinding linuxBinding({FUZZ_DRIVER, "ibsta", "iberr", "ibcntl", true});
    static gpib::CGpibBinding niBinding({FUZZ_DRIVER, "user_ibsta", "user_iberr", "user_ibcntl", false});
    CInstrument instrument(settings.niNames ? niBinding : linuxBinding);
    std::ostringstream messageStream;
    CStreamMessages messages(messageStream);
    instrument.SetMessageSink(&messages);

    ChannelTable channels;
    CNoChannelRows rows;
    CheckingObserver observer;
    const bool scanned = ScanChannels(instrument, channels, rows, observer);
    CheckStates(channels, scanned);
    VerifyAllChannels(instrument, channels, rows, observer);
    CheckStates(channels, false);
    std::string shown = CheckReport(channels) + CheckJson(channels, messages.Shown());
    // The command line traces its transactions (--trace), reading each reply by its count.
    return shown + RunCli(instrument, settings);
}

std::string RunBusPathInput(const std::uint8_t* data, std::size_t size)
{
    const std::size_t skip = size < kSettingsSize ? size : kSettingsSize;
    FuzzDriver::Instance().Replay(data + skip, size - skip);
    return RunBusPath(ReadSettings(data, size));
}

} // namespace valdina::fuzz
