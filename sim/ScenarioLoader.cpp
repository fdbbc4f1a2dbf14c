#include "ScenarioLoader.h"

#include <cerrno>
#include <fstream>
#include <sstream>

#include <nlohmann/json.hpp>

#include "CardReader.h"
#include "DefaultScenario.h"
#include "FaultReader.h"
#include "JsonField.h"
#include "ScenarioError.h"

namespace zsim {

namespace {

std::string lineColumn(const std::string& text, size_t byte) {
    size_t line = 1, column = 1;
    for (size_t i = 0; i + 1 < byte && i < text.size(); ++i) {
        if (text[i] == '\n') {
            ++line;
            column = 1;
        } else {
            ++column;
        }
    }
    return "line " + std::to_string(line) + ", column " + std::to_string(column);
}

void readFill(const JsonField& f, Scenario& s) {
    std::string model = "T210";
    std::uint8_t mode = 0;
    std::uint32_t seed = 1;
    if (f.value().is_boolean()) {
        if (!f.boolean()) return;
    } else {
        f.requireObject({"model", "mode", "seed"});
        if (f.has("model")) model = f["model"].text(8);
        if (f.has("mode")) mode = static_cast<std::uint8_t>(f["mode"].integer(0, 255));
        if (f.has("seed")) seed = std::uint32_t(f["seed"].integer(0, 0xFFFFFFFF));
    }
    for (int ch = 0; ch < kChannels; ++ch) s.cards[ch] = CardReader::generated(ch, model, mode, seed + ch);
}

// The state of board 0's device file, as the driver finds it when opening it.
void readBoard(const JsonField& f, Scenario& s) {
    const auto state = f.text();
    if (state == "present") s.boardErrno = 0;
    else if (state == "missing") s.boardErrno = ENOENT;
    else if (state == "denied") s.boardErrno = EACCES;
    else f.fail("unknown board state \"" + state + "\" (present, missing, denied)");
}

}  // namespace

Scenario ScenarioLoader::fromFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw ScenarioError("file", "cannot be opened for reading");
    std::ostringstream text;
    text << in.rdbuf();
    if (in.bad()) throw ScenarioError("file", "read error");
    return fromText(text.str());
}

Scenario ScenarioLoader::fromText(const std::string& text) {
    nlohmann::json doc;
    try {
        doc = nlohmann::json::parse(text);
    } catch (const nlohmann::json::parse_error& e) {
        std::string why = e.what();
        // Drop the library's "[json.exception.parse_error.101] parse error at ..: " prefix.
        if (auto colon = why.rfind(": "); colon != std::string::npos) why = why.substr(colon + 2);
        throw ScenarioError(lineColumn(text, e.byte), "invalid JSON: " + why);
    }
    return fromJson(doc);
}

Scenario ScenarioLoader::fromJson(const nlohmann::json& doc) {
    const JsonField root(doc, "");
    root.requireObject({"base", "cards", "fill", "faults", "off_bus", "latency_us", "ecic_find_lstn",
                        "ecic_dev_clear", "stop_answering_after", "board", "listener_sensing", "address"});
    // "base": "default" starts from the built-in mainframe; cards and faults
    // given here then replace or add to its own.
    Scenario s;
    if (root.has("base")) {
        const auto base = root["base"].text();
        if (base == "default") s = fromJson(DefaultScenario::json());
        else if (base != "empty") root["base"].fail("unknown base \"" + base + "\" (default, empty)");
    }
    if (root.has("off_bus")) s.offBus = root["off_bus"].boolean();
    if (root.has("latency_us")) s.latencyUs = int(root["latency_us"].integer(0, 10'000'000));
    if (root.has("ecic_find_lstn")) s.ecicFindLstn = int(root["ecic_find_lstn"].integer(0, 1'000'000));
    if (root.has("ecic_dev_clear")) s.ecicDevClear = int(root["ecic_dev_clear"].integer(0, 1'000'000));
    if (root.has("stop_answering_after"))
        s.stopAnsweringAfter = int(root["stop_answering_after"].integer(0, 1'000'000'000));
    if (root.has("board")) readBoard(root["board"], s);
    if (root.has("listener_sensing")) s.listenerSensing = root["listener_sensing"].boolean();
    if (root.has("address")) s.address = static_cast<unsigned short>(root["address"].integer(0, 30));
    if (root.has("fill")) readFill(root["fill"], s);

    if (root.has("cards")) {
        const auto cards = root["cards"];
        cards.requireArray();
        std::array<bool, kChannels> listed{};
        for (size_t i = 0; i < cards.value().size(); ++i) {
            const auto entry = cards.at(i);
            const int ch = CardReader::channelOf(entry);
            if (listed[ch]) entry.fail("channel " + std::to_string(ch) + " given twice");
            listed[ch] = true;
            s.cards[ch] = CardReader::read(entry, ch);
        }
    }

    if (root.has("faults")) {
        const auto faults = root["faults"];
        faults.requireArray();
        for (size_t i = 0; i < faults.value().size(); ++i) s.faults.push_back(FaultReader::read(faults.at(i)));
    }
    return s;
}

}  // namespace zsim
