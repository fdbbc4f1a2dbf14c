#include "HistoryFormat.h"

#include <nlohmann/json.hpp>

#include "CChannelInfo.h"
#include "TextFormat.h"

const char* HistoryKindText(HistoryEntry::Kind kind)
{
    switch (kind) {
    case HistoryEntry::Kind::Run:
        return "run";
    case HistoryEntry::Kind::Write:
        return "write";
    case HistoryEntry::Kind::Save:
        break;
    }
    return "save";
}

namespace {

std::string ByteText(std::uint8_t byte)
{
    return FormatText("0x%02X", static_cast<unsigned>(byte));
}

std::string WriteSummary(const HistoryEntry& entry)
{
    std::string text = entry.writeKind;
    if (!entry.file.empty())
        text += " from " + entry.file;
    text += FormatText(" 0x%04X: ", static_cast<unsigned>(entry.byte.address)) + ByteText(entry.byte.before) + " -> "
        + ByteText(entry.byte.written);
    if (entry.byte.readBack)
        text += ", read back " + ByteText(*entry.byte.readBack);
    else
        text += entry.writeOutcome.empty() ? ", outcome never recorded" : ", not written";
    if (!entry.writeOutcome.empty() && entry.writeOutcome != "written")
        text += " (" + entry.writeOutcome + ")";
    return text;
}

} // namespace

std::string HistoryEntrySummary(const HistoryEntry& entry)
{
    switch (entry.kind) {
    case HistoryEntry::Kind::Run:
        return std::string(StatusText(entry.state)) + (entry.error.empty() ? "" : ": " + entry.error);
    case HistoryEntry::Kind::Write:
        return WriteSummary(entry);
    case HistoryEntry::Kind::Save:
        break;
    }
    return "image saved to " + entry.file + " (SHA-256 " + entry.sha256 + ")";
}

std::string FormatHistoryText(const std::vector<HistoryEntry>& entries)
{
    std::size_t station = 7, user = 8;
    for (const HistoryEntry& entry : entries) {
        station = std::max(station, entry.station.size());
        user = std::max(user, entry.operatorName.size());
    }
    const auto pad = [](std::string text, std::size_t width) {
        text.resize(std::max(text.size(), width), ' ');
        return text;
    };
    constexpr std::size_t kWhen = 29;   // "2026-12-08T07:49:12.123456Z" and two spaces
    std::string text = pad("WHEN (UTC)", kWhen) + pad("STATION", station + 2) + pad("OPERATOR", user + 2) + "CH   SERIAL    "
        + "WHAT\n";
    for (const HistoryEntry& entry : entries) {
        text += pad(entry.when, kWhen) + pad(entry.station, station + 2) + pad(entry.operatorName, user + 2)
            + pad(std::to_string(entry.channel), 5) + pad(entry.serial, 10) + HistoryEntrySummary(entry);
        if (entry.kind == HistoryEntry::Kind::Run)
            text += "  [" + entry.command + "]";
        text += "\n";
    }
    return text;
}

namespace {

std::string CsvField(const std::string& field)
{
    if (field.find_first_of(",\"\r\n") == std::string::npos)
        return field;
    std::string quoted = "\"";
    for (char c : field)
        quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + "\"";
}

} // namespace

std::string FormatHistoryCsv(const std::vector<HistoryEntry>& entries)
{
    std::string csv = "when,kind,station,operator,command,run outcome,channel,serial,model,state,error,blocks,"
                      "write,address,before,written,read back,write outcome,file,sha256\r\n";
    for (const HistoryEntry& e : entries) {
        const bool run = e.kind == HistoryEntry::Kind::Run;
        const bool write = e.kind == HistoryEntry::Kind::Write;
        const std::vector<std::string> fields = {
            e.when, HistoryKindText(e.kind), e.station, e.operatorName, e.command, e.runOutcome,
            std::to_string(e.channel), e.serial, e.model, run ? StatusText(e.state) : "", run ? e.error : "",
            run ? e.blocks : "", write ? e.writeKind : "", write ? std::to_string(e.byte.address) : "",
            write ? std::to_string(e.byte.before) : "", write ? std::to_string(e.byte.written) : "",
            write && e.byte.readBack ? std::to_string(*e.byte.readBack) : "", write ? e.writeOutcome : "", e.file,
            e.sha256};
        for (std::size_t i = 0; i < fields.size(); ++i)
            csv += (i == 0 ? "" : ",") + CsvField(fields[i]);
        csv += "\r\n";
    }
    return csv;
}

std::string FormatHistoryJson(const std::vector<HistoryEntry>& entries)
{
    nlohmann::ordered_json list = nlohmann::ordered_json::array();
    for (const HistoryEntry& e : entries) {
        nlohmann::ordered_json item = {{"when", e.when},         {"kind", HistoryKindText(e.kind)},
                                       {"station", e.station},   {"operator", e.operatorName},
                                       {"command", e.command},   {"runOutcome", e.runOutcome},
                                       {"channel", e.channel},   {"serial", e.serial}};
        switch (e.kind) {
        case HistoryEntry::Kind::Run:
            item["model"] = e.model;
            item["state"] = StatusText(e.state);
            item["error"] = e.error;
            item["blocks"] = e.blocks;
            break;
        case HistoryEntry::Kind::Write:
            item["write"] = e.writeKind;
            item["address"] = e.byte.address;
            item["before"] = e.byte.before;
            item["written"] = e.byte.written;
            item["readBack"] = e.byte.readBack ? nlohmann::ordered_json(*e.byte.readBack) : nullptr;
            item["outcome"] = e.writeOutcome.empty() ? nlohmann::ordered_json(nullptr) : nlohmann::ordered_json(e.writeOutcome);
            if (!e.file.empty()) {
                item["file"] = e.file;
                item["sha256"] = e.sha256;
            }
            break;
        case HistoryEntry::Kind::Save:
            item["file"] = e.file;
            item["sha256"] = e.sha256;
            break;
        }
        list.push_back(std::move(item));
    }
    return list.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) + "\n";
}
