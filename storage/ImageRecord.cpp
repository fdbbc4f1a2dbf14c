#include "ImageRecord.h"

#include <limits>

#include <nlohmann/json.hpp>

#include "CChannelInfo.h"
#include "ChannelStatus.h"
#include "EepromLayout.h"
#include "PrintableField.h"

namespace {

using nlohmann::json;

constexpr std::size_t kSerialLength = sizeof(CChannelInfo::m_szSerial);
constexpr std::size_t kModelLength = sizeof(CChannelInfo::m_szModel);
constexpr std::size_t kVersionLength = 64;
constexpr const char* kVerdicts[] = {"valid", "invalid", "not checked"};

// A JSON value's kind as the operator reads it.
std::string KindOf(const json& value)
{
    switch (value.type()) {
    case json::value_t::null: return "null";
    case json::value_t::boolean: return "true or false";
    case json::value_t::string: return "text";
    case json::value_t::array: return "a list";
    case json::value_t::object: return "an object";
    case json::value_t::number_float: return "a fraction";
    default: return "a number";
    }
}

bool IsUtcTime(const std::string& text)
{
    // "2026-12-07T20:30:00Z": digits where the pattern has '9'.
    static constexpr std::string_view kPattern = "9999-99-99T99:99:99Z";
    if (text.size() != kPattern.size())
        return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool digit = text[i] >= '0' && text[i] <= '9';
        if (kPattern[i] == '9' ? !digit : text[i] != kPattern[i])
            return false;
    }
    return true;
}

bool IsHexDigest(const std::string& text)
{
    if (text.size() != 64)
        return false;
    for (char c : text) {
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f')))
            return false;
    }
    return true;
}

// Reads the record's fields one by one; the first bad one ends the reading with
// `problem` naming it.
class FieldReader {
public:
    explicit FieldReader(const json& object) : m_object(object) {}

    bool Has(const char* name) const { return m_object.contains(name); }

    // A text field: `required` or left as it is when absent.
    bool Text(const char* name, std::string& value, std::size_t maxLength, bool required)
    {
        const auto found = m_object.find(name);
        if (found == m_object.end())
            return !required || Fail(name, "is missing");
        if (!found->is_string())
            return Fail(name, "is " + KindOf(*found) + "; it must be text");
        const std::string& text = found->get_ref<const std::string&>();
        if (text.size() > maxLength)
            return Fail(name, "has " + std::to_string(text.size()) + " characters; at most "
                                  + std::to_string(maxLength) + " fit");
        if (!IsPrintableAscii(text))
            return Fail(name, "holds a character that is not printable ASCII");
        value = text;
        return true;
    }

    bool Whole(const char* name, std::int64_t& value, std::int64_t low, std::int64_t high, bool required)
    {
        const auto found = m_object.find(name);
        if (found == m_object.end())
            return !required || Fail(name, "is missing");
        const std::string range = "a whole number from " + std::to_string(low) + " to " + std::to_string(high);
        if (found->is_number_unsigned()) {
            const std::uint64_t number = found->get<std::uint64_t>();
            if (number > static_cast<std::uint64_t>(high))
                return Fail(name, "is " + std::to_string(number) + "; it must be " + range);
            value = static_cast<std::int64_t>(number);
        } else if (found->is_number_integer()) {
            value = found->get<std::int64_t>();
        } else {
            return Fail(name, "is " + KindOf(*found) + "; it must be " + range);
        }
        if (value < low || value > high)
            return Fail(name, "is " + std::to_string(value) + "; it must be " + range);
        return true;
    }

    bool Fail(const char* name, const std::string& what)
    {
        problem = std::string("the field \"") + name + "\" " + what;
        return false;
    }

    std::string problem;

private:
    const json& m_object;
};

bool ReadBlocks(const json& object, FieldReader& reader, ImageRecord& record)
{
    const auto found = object.find("blocks");
    if (found == object.end())
        return true;
    if (!found->is_object())
        return reader.Fail("blocks", "is " + KindOf(*found) + "; it must be an object of block verdicts");
    for (const auto& [name, verdict] : found->items()) {
        bool known = false;
        for (const EepromBlock& block : kEepromBlocks)
            known = known || name == block.name;
        if (!known)
            return reader.Fail("blocks", "names no block of the image: \"" + (IsPrintableAscii(name) ? name : "?") + "\"");
        bool valid = false;
        for (const char* v : kVerdicts)
            valid = valid || (verdict.is_string() && verdict.get_ref<const std::string&>() == v);
        if (!valid)
            return reader.Fail("blocks", "gives the block \"" + name
                                             + "\" no verdict of \"valid\", \"invalid\" or \"not checked\"");
        record.blocks.emplace_back(name, verdict.get<std::string>());
    }
    return true;
}

bool ReadFields(const json& object, FieldReader& reader, ImageRecord& record)
{
    std::int64_t channel = -1;
    std::int64_t rack = 0;
    std::int64_t slot = 0;
    std::int64_t size = 0;
    if (!reader.Text("serial", record.serial, kSerialLength, true)
        || !reader.Text("model", record.model, kModelLength, false)
        || !reader.Whole("channel", channel, 0, kChannelCount - 1, false)
        || !reader.Whole("rack", rack, 0, RackOf(kChannelCount - 1), false)
        || !reader.Whole("slot", slot, 0, kSlotsPerRack - 1, false)
        || !reader.Text("time", record.time, 20, false) || !reader.Text("version", record.version, kVersionLength, false)
        || !ReadBlocks(object, reader, record))
        return false;
    record.channel = static_cast<int>(channel);
    if (!record.time.empty() && !IsUtcTime(record.time))
        return reader.Fail("time", "is no UTC time like 2026-12-07T20:30:00Z");
    // Rack and slot repeat the channel for a reader; they must agree with it.
    if (reader.Has("rack") && (channel < 0 || rack != RackOf(record.channel)))
        return reader.Fail("rack", "does not agree with the field \"channel\"");
    if (reader.Has("slot") && (channel < 0 || slot != SlotOf(record.channel)))
        return reader.Fail("slot", "does not agree with the field \"channel\"");

    // Size and hash come together, or neither (a record saved before they were kept).
    if (!reader.Has("size") && !reader.Has("sha256"))
        return true;
    if (!reader.Whole("size", size, 0, std::numeric_limits<std::int64_t>::max(), true)
        || !reader.Text("sha256", record.sha256, 64, true))
        return false;
    if (!IsHexDigest(record.sha256))
        return reader.Fail("sha256", "is not 64 lowercase hex digits");
    record.size = static_cast<std::uint64_t>(size);
    return true;
}

} // namespace

std::string FormatImageRecord(const ImageRecord& record)
{
    nlohmann::ordered_json blocks = nlohmann::ordered_json::object();
    for (const auto& [name, verdict] : record.blocks)
        blocks[name] = verdict;
    const nlohmann::ordered_json json = {
        {"serial", record.serial},
        {"model", record.model},
        {"channel", record.channel},
        {"rack", RackOf(record.channel)},
        {"slot", SlotOf(record.channel)},
        {"time", record.time},
        {"version", record.version},
        {"size", record.size},
        {"sha256", record.sha256},
        {"blocks", blocks},
    };
    // Serial and model are the card's bytes: anything that is not UTF-8 becomes U+FFFD.
    return json.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) + "\n";
}

std::optional<ImageRecord> ParseImageRecord(const std::string& text, std::string& problem)
{
    // No exceptions: a text that is no JSON is discarded.
    const json object = json::parse(text, nullptr, false);
    if (object.is_discarded() || !object.is_object()) {
        problem = "it is not a JSON object";
        return std::nullopt;
    }
    ImageRecord record;
    FieldReader reader(object);
    if (!ReadFields(object, reader, record)) {
        problem = reader.problem;
        return std::nullopt;
    }
    return record;
}
