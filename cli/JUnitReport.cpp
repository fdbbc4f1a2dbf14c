#include "JUnitReport.h"

#include <charconv>

#include "PresentChannels.h"
#include "XmlText.h"

namespace {

// Seconds to the microsecond and a point whatever the locale.
std::string Seconds(double seconds)
{
    char text[32];
    const auto result = std::to_chars(text, text + sizeof text, seconds < 0 ? 0.0 : seconds,
                                      std::chars_format::fixed, 6);
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
};

Verdict VerdictOf(const CChannelInfo& info, const JUnitRun& run, const std::string& busMessage)
{
    switch (info.m_nStatus) {
    case StatusGood:
        return {};
    case StatusFail:
        return {"failure", info.m_strError};
    case StatusUnknown:
        if (run.cancelled)
            return {"skipped", "not reached: the run was cancelled"};
        if (run.kind == PassKind::Scan)
            return {"skipped", "found by the scan, not verified"};
        break;
    default:
        break;
    }
    std::string message = std::string("left \"") + info.StatusText() + "\" by a bus failure";
    for (const std::string& why : {info.m_strError, busMessage}) {
        if (!why.empty())
            message += ": " + why;
    }
    return {"error", message};
}

std::string Case(const std::string& name, const std::string& classname, double seconds, const Verdict& verdict,
                 const char* type)
{
    std::string xml = "    <testcase" + Attribute("name", name) + Attribute("classname", classname) +
        Attribute("time", Seconds(seconds));
    if (verdict.element == nullptr)
        return xml + "/>\n";
    xml += ">\n      <" + std::string(verdict.element) + Attribute("message", verdict.message);
    if (std::string(verdict.element) != "skipped")
        xml += Attribute("type", type);
    return xml + "/>\n    </testcase>\n";
}

} // namespace

std::string FormatJUnitReport(const JUnitRun& run, const ChannelTable& channels)
{
    std::string cases;
    int tests = 0, failures = 0, errors = 0, skipped = 0;
    const auto count = [&](const Verdict& verdict) {
        ++tests;
        const std::string element = verdict.element ? verdict.element : "";
        failures += element == "failure";
        errors += element == "error";
        skipped += element == "skipped";
    };

    const std::string mainframe = "Zentra mainframe at GPIB board " + std::to_string(run.board) + ", address " +
        std::to_string(run.address);
    if (run.passFailed) {
        const char* pass = run.kind == PassKind::Scan ? "scan" : "verify";
        const std::string why = run.cancelled ? std::string(pass) + " cancelled" : std::string(pass) + " failed";
        const Verdict verdict{"error", run.messages.empty() ? why : run.messages.front()};
        count(verdict);
        cases += Case(pass, mainframe, run.seconds, verdict, "bus");
    }
    for (int n : PresentChannels(channels)) {
        const CChannelInfo& info = channels[static_cast<std::size_t>(n)];
        const Verdict verdict = VerdictOf(info, run, run.cardMessages[static_cast<std::size_t>(n)]);
        count(verdict);
        const std::string name = "channel " + std::to_string(n) + " (rack " + std::to_string(RackOf(n)) + ", slot " +
            std::to_string(SlotOf(n)) + ")";
        const std::string classname = "model " + std::string(info.Model()) + ", serial " + std::string(info.Serial());
        cases += Case(name, classname, run.cardSeconds[static_cast<std::size_t>(n)], verdict, info.StatusText());
    }

    std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<testsuites>\n  <testsuite" +
        Attribute("name", mainframe) + Attribute("tests", tests) + Attribute("failures", failures) +
        Attribute("errors", errors) + Attribute("skipped", skipped) + Attribute("time", Seconds(run.seconds)) +
        Attribute("timestamp", Timestamp(run.started)) + Attribute("hostname", run.hostname) + ">\n" + cases;
    if (!run.messages.empty()) {
        std::string messages;
        for (const std::string& message : run.messages)
            messages += message + "\n";
        xml += "    <system-err>" + XmlText(messages) + "</system-err>\n";
    }
    return xml + "  </testsuite>\n</testsuites>\n";
}
