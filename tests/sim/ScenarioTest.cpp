// Scenario files: reload when the variable changes, the built-in mainframe,
// and malformed files reported once with their place while off the bus.
#include <gtest/gtest.h>

#include <bitset>
#include <cstdlib>

#include "SimDriver.h"
#include "SimScenario.h"

using valdina::test::SimScenario;
using nlohmann::json;

namespace {

std::vector<int> presentChannels() {
    const auto map = SimDriver::get().transact("Q2", 32).reply;
    std::vector<int> channels;
    for (int ch = 0; ch < 256 && size_t(ch / 8) < map.size(); ++ch)
        if (map[size_t(ch / 8)] & (1u << (ch % 8))) channels.push_back(ch);
    return channels;
}

std::string serialOf(int channel) {
    auto& d = SimDriver::get();
    d.transact("S " + std::to_string(channel));
    const auto r = d.transact("Q5 7", 8).reply;
    return std::string(r.begin(), r.end());
}

std::string modelOf(int channel) {
    auto& d = SimDriver::get();
    d.transact("S " + std::to_string(channel));
    const auto r = d.transact("Q5 6", 8).reply;
    return std::string(r.begin(), r.end());
}

bool onBus() {
    std::vector<unsigned short> found;
    return SimDriver::get().findLstn({29}, found, 1).count == 1;
}

// Loads `text` as the scenario and returns what the simulator printed.
std::string stderrOfLoading(const SimScenario&) {
    testing::internal::CaptureStderr();
    const bool listening = onBus();
    onBus();  // a second call must not report again
    EXPECT_FALSE(listening);
    return testing::internal::GetCapturedStderr();
}

struct Malformed {
    const char* what;
    std::string text;
    std::string place;
    std::string reason;
};

}  // namespace

TEST(SimScenarioFile, ReloadsWhenTheVariableChangesAndResetsState) {
    auto& d = SimDriver::get();
    {
        SimScenario first({{"cards", {{{"channel", 3}, {"image", "zero"}}}}});
        EXPECT_EQ(presentChannels(), std::vector<int>{3});
        EXPECT_EQ(d.transact(">000008A0000077").stb, 0x40);
        EXPECT_EQ(d.transact("<000008200000", 5).reply.at(4), 0x77);
    }
    {
        SimScenario second({{"cards", {{{"channel", 3}, {"image", "zero"}}, {{"channel", 200}}}}});
        EXPECT_EQ(presentChannels(), (std::vector<int>{3, 200}));
        EXPECT_EQ(d.transact("<000008200000", 5).reply.at(4), 0x00);  // the write is gone
    }
}

TEST(SimScenarioFile, UnsetVariableMeansTheBuiltInMainframe) {
    const char* old = std::getenv("ZENTRA_SIM_SCENARIO");
    const std::string saved = old ? old : "";
    {
        SimScenario other({{"cards", {{{"channel", 99}}}}});
        EXPECT_EQ(presentChannels(), std::vector<int>{99});
    }
    unsetenv("ZENTRA_SIM_SCENARIO");
    EXPECT_EQ(presentChannels().size(), 43u);
    if (old) setenv("ZENTRA_SIM_SCENARIO", saved.c_str(), 1);
}

TEST(SimScenarioFile, BuiltInMainframeShowsEveryOutcome) {
    SimScenario sc(SimScenario::builtIn());
    const auto present = presentChannels();
    EXPECT_EQ(present.size(), 43u);
    std::bitset<16> racks;
    for (int ch : present) racks.set(size_t(ch / 16));
    EXPECT_GE(racks.count(), 4u);
    EXPECT_EQ(present.back(), 255);
    EXPECT_EQ(modelOf(22), "T208");
    EXPECT_EQ(modelOf(23), "T213");
    EXPECT_EQ(serialOf(39), "00000001");
    auto& d = SimDriver::get();
    EXPECT_EQ(d.transact("<01010020000", 5).stb, 0x41);  // sanity: malformed frame
    EXPECT_EQ(d.transact("<010100200000", 5).reply.at(4), 0xFF);  // channel 24 is erased
    d.transact("S 40");
    EXPECT_EQ(d.transact("G 1000.00").stb, 0x50);
    d.transact("S 41");
    EXPECT_EQ(d.transact("G 1000.00").stb, 0x40);
    EXPECT_EQ(d.transact("G 1.00").stb, 0x45);
}

TEST(SimScenarioFile, BaseDefaultTakesExtraCardsAndFaults) {
    SimScenario sc({{"base", "default"},
                    {"cards", {{{"channel", 200}}}},
                    {"faults", {{{"command", "Select"}, {"channel", 0}, {"kind", "error"}, {"code", 9}}}}});
    EXPECT_EQ(presentChannels().size(), 44u);
    EXPECT_EQ(SimDriver::get().transact("S 0").stb, 0x49);
    SimDriver::get().transact("S 40");
    EXPECT_EQ(SimDriver::get().transact("G 1000.00").stb, 0x50);  // built-in faults stay
}

TEST(SimScenarioFile, FillPutsAGoodCardInEveryPosition) {
    SimScenario sc({{"fill", {{"model", "T210"}, {"seed", 4}}}, {"cards", {{{"channel", 7}, {"model", "T208"}}}}});
    EXPECT_EQ(presentChannels().size(), 256u);
    EXPECT_EQ(modelOf(7), "T208");
    EXPECT_EQ(modelOf(8), "T210");
    EXPECT_EQ(serialOf(8).size(), 8u);
}

TEST(SimScenarioFile, MalformedFilesAreReportedOnceAndLeaveTheMainframeOffTheBus) {
    const std::vector<Malformed> cases{
        {"bad JSON", "{\n  \"cards\": [\n    {\"channel\": 1,}\n  ]\n}", "line 3", "invalid JSON"},
        {"not an object", "[1, 2]", ": /:", "expected an object"},
        {"wrong type", R"({"off_bus": "yes"})", "/off_bus", "expected true or false"},
        {"channel out of range", R"({"cards": [{"channel": 256}]})", "/cards/0/channel", "out of range"},
        {"duplicate channel", R"({"cards": [{"channel": 4}, {"rack": 0, "slot": 4}]})", "/cards/1",
         "given twice"},
        {"bad hex", R"({"cards": [{"channel": 4, "image": "hex", "hex": "0g"}]})", "/cards/0/hex", "bad hex digit"},
        {"short hex", R"({"cards": [{"channel": 4, "image": "hex", "hex": "00 11"}]})", "/cards/0/hex",
         "found 4"},
        {"unknown block", R"({"cards": [{"channel": 4, "broken": ["Gain"]}]})", "/cards/0/broken/0",
         "unknown block"},
        {"unknown key", R"({"cards": [], "latency": 5})", "/latency", "unknown key"},
        {"serial too long", R"({"cards": [{"channel": 4, "serial": "123456789"}]})", "/cards/0/serial",
         "longer than 8"},
        {"unknown command", R"({"faults": [{"command": "Reset", "kind": "no_srq"}]})", "/faults/0/command",
         "unknown command"},
        {"unknown fault kind", R"({"faults": [{"command": "Select", "kind": "explode"}]})", "/faults/0/kind",
         "unknown kind"},
        {"signal without its number", R"({"faults": [{"command": "Select", "kind": "signal"}]})", "/faults/0",
         "signal needs \"signal\""},
        {"signal beyond the standard ones", R"({"faults": [{"command": "Select", "kind": "signal", "signal": 64}]})",
         "/faults/0/signal", "out of range"},
        {"swap without its serial", R"({"faults": [{"command": "Select", "kind": "swap"}]})", "/faults/0",
         "swap needs \"serial\""},
        {"serial for another kind", R"({"faults": [{"command": "Select", "kind": "timeout", "serial": "1"}]})",
         "/faults/0/serial", "does not apply"},
        {"flip of a command without an EEPROM cell", R"({"faults": [{"command": "QuerySN", "kind": "flip"}]})",
         "/faults/0/kind", "flip applies to RdEe1"},
        {"unknown board state", R"({"board": "unplugged"})", "/board", "unknown board state"},
        {"address beyond the primary ones", R"({"address": 31})", "/address", "out of range"},
        {"stuck cell beyond the part", R"({"cards": [{"channel": 4, "stuck": [512]}]})", "/cards/0/stuck/0",
         "out of range"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const auto sc = SimScenario::raw(c.text);
        const auto err = stderrOfLoading(sc);
        EXPECT_NE(err.find(sc.scenarioPath()), std::string::npos) << err;
        EXPECT_NE(err.find(c.place), std::string::npos) << err;
        EXPECT_NE(err.find(c.reason), std::string::npos) << err;
        EXPECT_EQ(err.find('\n'), err.size() - 1) << "reported more than once: " << err;
        EXPECT_EQ(SimDriver::get().send("Q2").iberr, 2);
    }
}

TEST(SimScenarioFile, UnreadableFileIsReportedAndOffTheBus) {
    const auto sc = SimScenario::raw("{}");
    const std::string missing = sc.scenarioPath() + ".missing";
    setenv("ZENTRA_SIM_SCENARIO", missing.c_str(), 1);
    testing::internal::CaptureStderr();
    EXPECT_FALSE(onBus());
    const auto err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find(missing), std::string::npos) << err;
    EXPECT_NE(err.find("cannot be opened"), std::string::npos) << err;
}
