#include "JUnitReport.h"

#include <charconv>

#include "PresentChannels.h"
#include "ReportFormat.h"
#include "TextFormat.h"
#include "XmlText.h"

namespace {

// Seconds to the millisecond, the most the Jenkins xUnit schema allows, with a
// point whatever the locale.
std::string Seconds(double seconds)
{
    char text[32];
    const auto result = std::to_chars(text, text + sizeof text, seconds < 0 ? 0.0 : seconds,
                                      std::chars_format::fixed, 3);
    return std::string(text, result.ec == std::errc() ? result.ptr : text);
}

// ISO 8601 in UTC, without a zone suffix as the JUnit schema has it.
std::string Timestamp(std::time_t time)
{
    char text[32] = {};
    const std::tm* utc = std::gmtime(&time);
    if (utc == nullptr || std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", utc) == 0)
        return "1970-01-01T00:00:00";
    return text;
}

std::string Attribute(const char* name, const std::string& value)
{
    return std::string(" ") + name + "=\"" + XmlText(value) + "\"";
}

std::string Attribute(const char* name, int value)
{
    return Attribute(name, std::to_string(value));
}

struct Verdict {
    const char* element = nullptr;   // nullptr: the case passed
    std::string message;
    std::string type;
};

constexpr std::string_view kFailedSerial = "00000001";

Verdict VerdictOf(const CChannelInfo& info, const JUnitRun& run, bool done, const std::string& busMessage)
{
    const std::string type = info.StatusText();
    switch (info.m_nStatus) {
    case StatusGood:
        return {};
    case StatusFail:
        // The scan fails this serial whatever the record's text says.
        if (info.m_strError.empty() || (run.kind == PassKind::Scan && info.Serial() == kFailedSerial))
            return {"failure", "the scan fails a card whose serial reads \"" + std::string(kFailedSerial) + "\"", type};
        return {"failure", info.m_strError, type};
    case StatusUnknown:
        // Visited by the pass, yet not judged: its error text says why.
        if (run.kind == PassKind::Verify && !info.m_strError.empty())
            return {"error", info.m_strError, type};
        if (!run.cancelled.empty() && !done)
            return {"skipped", "not reached: " + run.cancelled, ""};
        if (run.kind == PassKind::Scan)
            return {"skipped", "found by the scan, not verified", ""};
        break;
    default:
        break;
    }
    std::string message = "left \"" + type + "\" by a bus failure";
    for (const std::string& why : {info.m_strError, busMessage}) {
        if (!why.empty())
            message += ": " + why;
    }
    return {"error", message, type};
}

std::string Case(const std::string& name, const std::string& classname, double seconds, const Verdict& verdict)
{
    std::string xml = "  <testcase" + Attribute("name", name) + Attribute("classname", classname) +
        Attribute("time", Seconds(seconds));
    if (verdict.element == nullptr)
        return xml + "/>\n";
    xml += ">\n    <" + std::string(verdict.element) + Attribute("message", verdict.message);
    if (!verdict.type.empty())
        xml += Attribute("type", verdict.type);
    return xml + "/>\n  </testcase>\n";
}

std::string Property(const char* name, const std::string& value)
{
    return "    <property" + Attribute("name", name) + Attribute("value", value) + "/>\n";
}

// The error case of a run that as a whole did not do its work; none when it did.
Verdict RunVerdict(const JUnitRun& run, const ChannelTable& channels)
{
    if (!run.cancelled.empty())
        return {"error", run.cancelled, "cancelled"};
    if (run.passFailed)
        return {"error", run.messages.empty() ? "failed" : run.messages.front(), "bus"};
    if (CountPresentChannels(channels) == 0)
        return {"error", "no cards found", "empty"};
    return {};
}

} // namespace

std::string FormatJUnitReport(const JUnitRun& run, const ChannelTable& channels)
{
    std::string cases;
    int tests = 0, failures = 0, errors = 0, skipped = 0;
    const auto add = [&](const std::string& name, const std::string& classname, double seconds,
                         const Verdict& verdict) {
        ++tests;
        const std::string element = verdict.element ? verdict.element : "";
        failures += element == "failure";
        errors += element == "error";
        skipped += element == "skipped";
        cases += Case(name, classname, seconds, verdict);
    };

    const char* command = run.kind == PassKind::Scan ? "scan" : "verify";
    // Dots part package from class: one package per mainframe, one class per rack.
    const std::string mainframe = FormatText("zentra.board%d.addr%d", run.board, run.address);
    const Verdict whole = RunVerdict(run, channels);
    if (whole.element != nullptr)
        add(command, mainframe, run.seconds, whole);
    for (int n : PresentChannels(channels)) {
        const CChannelInfo& info = channels[static_cast<std::size_t>(n)];
        // Zero-padded so that names sort as text in channel order.
        const std::string name = FormatText("channel %03d (rack %d, slot %d): model ", n, RackOf(n), SlotOf(n)) +
            std::string(info.Model()) + ", serial " + std::string(info.Serial());
        const auto card = static_cast<std::size_t>(n);
        add(name, mainframe + FormatText(".rack%02d", RackOf(n)), run.cardSeconds[card],
            VerdictOf(info, run, run.cardsDone[card], run.cardMessages[card]));
    }

    std::string messages;
    for (const std::string& message : run.messages)
        messages += message + "\n";
    const std::string table = CountPresentChannels(channels) > 0 ? FormatReport(channels, "\n") : "";
    // Both schemas want a host name; a station that has none still gets a valid file.
    const std::string host = run.hostname.empty() ? "unknown-host" : run.hostname;
    const std::string suite = std::string("valdina-cli ") + command + " on " + host +
        FormatText(": Zentra mainframe at GPIB board %d, address %d", run.board, run.address);
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<testsuite" + Attribute("name", suite) +
        Attribute("tests", tests) + Attribute("failures", failures) + Attribute("errors", errors) +
        Attribute("skipped", skipped) + Attribute("time", Seconds(run.seconds)) +
        Attribute("timestamp", Timestamp(run.started)) + Attribute("hostname", host) + ">\n" +
        "  <properties>\n" + Property("command", command) + Property("board", std::to_string(run.board)) +
        Property("address", std::to_string(run.address)) + Property("program", run.program) + "  </properties>\n" +
        cases + "  <system-out>" + XmlText(table) + "</system-out>\n" + "  <system-err>" + XmlText(messages) +
        "</system-err>\n</testsuite>\n";
}
