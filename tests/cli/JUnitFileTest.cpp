// --junit as a CI server reads it: the built program against the simulated
// mainframe, its file judged by a strict XML parser.

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <csignal>
#include <regex>

#include "CliProcess.h"
#include "ExitCode.h"
#include "SimScenario.h"
#include "TempFolder.h"
#include "XmlDocument.h"

using nlohmann::json;
using valdina::test::SimScenario;

namespace {

const std::string kSuite = "/testsuite";

std::string Case(int index, const std::string& rest = "")
{
    return kSuite + "/testcase[" + std::to_string(index) + "]" + rest;
}

TEST(CliJUnit, OneCasePerCardWithItsVerdict)
{
    json failing = {{"channel", 4}, {"broken", {"Xmon"}}};
    json odd = {{"channel", 37}, {"serial", "\x01<&\xC3\xA9]]>"}, {"model", "T2'0"}};
    SimScenario sim({{"cards", {{{"channel", 3}}, failing, {{"channel", 5}}, odd}},
                     {"faults", {{{"command", "RdEe4"}, {"channel", 5}, {"address", 0x100}, {"kind", "no_srq"}}}}});
    TempFolder folder;
    const auto path = folder.path() / "cards.xml";
    const CliRun run = RunCli({"verify", "--junit", path.string()});
    EXPECT_EQ(run.exitCode, kExitNotGood) << run.err;

    const XmlDocument xml(ReadFile(path));
    ASSERT_TRUE(xml.ok()) << xml.error();
    const std::string host = xml.text(kSuite + "/@hostname");
    EXPECT_FALSE(host.empty());
    EXPECT_EQ(xml.text(kSuite + "/@name"), "valdina-cli verify on " + host + ": Zentra mainframe at GPIB board 0, address 29");
    EXPECT_EQ(xml.text(kSuite + "/properties/property[@name='board']/@value"), "0");
    EXPECT_EQ(xml.text(kSuite + "/properties/property[@name='address']/@value"), "29");
    EXPECT_EQ(xml.text(kSuite + "/properties/property[@name='program']/@value").rfind("valdina-cli ", 0), 0u);
    EXPECT_EQ(xml.text("count(" + kSuite + "/system-out)"), "1");
    EXPECT_EQ(xml.text("count(" + kSuite + "/system-err)"), "1");
    EXPECT_EQ(xml.text(kSuite + "/@tests"), "4");
    EXPECT_EQ(xml.text(kSuite + "/@failures"), "1");
    EXPECT_EQ(xml.text(kSuite + "/@errors"), "1");
    // The Jenkins xUnit schema allows at most three decimals.
    const std::regex seconds(R"(\d+(\.\d{1,3})?)");
    EXPECT_TRUE(std::regex_match(xml.text(kSuite + "/@time"), seconds)) << xml.text(kSuite + "/@time");
    EXPECT_TRUE(std::regex_match(xml.text(kSuite + "/@timestamp"), std::regex(R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d)")));

    // Channel order; Good has no child, Fail a failure, a card left reading an error.
    EXPECT_EQ(xml.text(Case(1, "/@name")).rfind("channel 003 (rack 0, slot 3): model ", 0), 0u);
    EXPECT_EQ(xml.text(Case(1, "/@classname")), "zentra.board0.addr29.rack00");
    EXPECT_EQ(xml.text("count(" + Case(1, "/*") + ")"), "0");
    EXPECT_EQ(xml.text(Case(2, "/failure/@message")), "invalid checksum (Xmon)");
    EXPECT_EQ(xml.text(Case(3, "/@name")).rfind("channel 005 (rack 0, slot 5)", 0), 0u);
    EXPECT_EQ(xml.text(Case(3, "/error/@message")),
              "left \"reading\" by a bus failure: SRQ not asserted during \"RdEe4\"");
    // Markup in the card's texts stays text; the control byte becomes U+FFFD.
    EXPECT_EQ(xml.text(Case(4, "/@name")), "channel 037 (rack 2, slot 5): model T2'0, serial \xEF\xBF\xBD<&\xC3\xA9]]>");
    EXPECT_EQ(xml.text(Case(4, "/@classname")), "zentra.board0.addr29.rack02");
    for (int index = 1; index <= 4; ++index)
        EXPECT_TRUE(std::regex_match(xml.text(Case(index, "/@time")), seconds)) << index;
}

TEST(CliJUnit, ScanAloneSkipsUnverifiedCards)
{
    SimScenario sim({{"cards", {{{"channel", 0}, {"serial", "00000001"}}, {{"channel", 1}}}}});
    TempFolder folder;
    const auto path = folder.path() / "scan.xml";
    const CliRun run = RunCli({"scan", "--junit", path.string()});
    EXPECT_EQ(run.exitCode, kExitOk) << run.err;
    const XmlDocument xml(ReadFile(path));
    ASSERT_TRUE(xml.ok()) << xml.error();
    EXPECT_EQ(xml.text(kSuite + "/@failures"), "1");   // the scan fails serial 00000001
    EXPECT_EQ(xml.text(Case(1, "/failure/@message")), "the scan fails a card whose serial reads \"00000001\"");
    EXPECT_EQ(xml.text(kSuite + "/@skipped"), "1");
    EXPECT_EQ(xml.text("count(" + Case(2, "/skipped") + ")"), "1");
}

TEST(CliJUnit, RunThatListsNoCardIsAnErrorNeverAnEmptySuccess)
{
    struct Row {
        const char* what;
        json scenario;
        const char* command;
        int exitCode;
        std::string message;   // of the one error case, the first
    };
    const std::vector<Row> rows{
        {"mainframe off", {{"off_bus", true}}, "verify", kExitFailed, "GPIB device 29 not found during \"IsListener\""},
        {"no card", {{"cards", json::array()}}, "scan", kExitOk, "no cards found"},
        {"board device missing", {{"base", "default"}, {"board", "missing"}}, "scan", kExitFailed,
         "GPIB error 0 during \"IsListener\"; driver: No such file or directory"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        SimScenario sim(row.scenario);
        TempFolder folder;
        const auto path = folder.path() / "run.xml";
        const CliRun run = RunCli({row.command, "--junit", path.string()});
        EXPECT_EQ(run.exitCode, row.exitCode) << run.err;
        const XmlDocument xml(ReadFile(path));
        ASSERT_TRUE(xml.ok()) << xml.error();
        EXPECT_EQ(xml.text(kSuite + "/@tests"), "1");
        EXPECT_EQ(xml.text(kSuite + "/@errors"), "1");
        EXPECT_EQ(xml.text(Case(1, "/@name")), row.command);
        EXPECT_EQ(xml.text(Case(1, "/error/@message")), row.message);
    }
}

// A case's verdict as "element: message"; empty when it passed.
std::string Verdict(const XmlDocument& xml, int index)
{
    const std::string element = xml.text("name(" + Case(index, "/*") + ")");
    return element.empty() ? "" : element + ": " + xml.text(Case(index, "/*/@message"));
}

TEST(CliJUnit, CancelKeepsTheVerdictOfEveryCardReachedAndSkipsOnlyTheRest)
{
    // Ctrl+C in valdina-cli right after the simulated mainframe served `at`.
    const auto sigintAfter = [](json at) {
        at.update({{"kind", "signal"}, {"signal", SIGINT}, {"times", 1}});
        return at;
    };
    struct Row {
        const char* what;
        json cards;
        json faults;
        const char* command;
        std::vector<std::string> verdicts;   // the run's error case, then one per card
    };
    const std::vector<Row> rows{
        // The pass's Select of channel 1 fails on the bus (the scan's went through); Ctrl+C during channel 2.
        {"verify", {{{"channel", 0}}, {{"channel", 1}}, {{"channel", 2}}, {{"channel", 3}}},
         {{{"command", "Select"}, {"channel", 1}, {"kind", "no_srq"}, {"after", 1}},
          sigintAfter({{"command", "RdEe4"}, {"channel", 2}, {"address", 0}})},
         "verify",
         {"error: verify cancelled after 3 of 4 cards", "",
          "error: left \"unknown\" by a bus failure: SRQ not asserted during \"Select\"", "",
          "skipped: not reached: verify cancelled after 3 of 4 cards"}},
        // Ctrl+C while the scan reads channel 1: the cards it read keep the scan's verdicts.
        {"scan", {{{"channel", 0}, {"serial", "00000001"}}, {{"channel", 1}}, {{"channel", 2}}},
         {sigintAfter({{"command", "QuerySN"}, {"channel", 1}})},
         "scan",
         {"error: scan cancelled after 2 of 3 cards", "failure: the scan fails a card whose serial reads \"00000001\"",
          "skipped: found by the scan, not verified", "skipped: not reached: scan cancelled after 2 of 3 cards"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        SimScenario sim({{"cards", row.cards}, {"faults", row.faults}});
        TempFolder folder;
        const auto path = folder.path() / "cancelled.xml";
        const CliRun run = RunCli({row.command, "--junit", path.string()});
        EXPECT_EQ(run.exitCode, 128 + SIGINT) << run.err;
        const XmlDocument xml(ReadFile(path));
        ASSERT_TRUE(xml.ok()) << xml.error();
        EXPECT_EQ(xml.text("count(" + kSuite + "/testcase)"), std::to_string(row.verdicts.size()));
        for (std::size_t i = 0; i < row.verdicts.size(); ++i)
            EXPECT_EQ(Verdict(xml, static_cast<int>(i) + 1), row.verdicts[i]) << "case " << i + 1;
    }
}

TEST(CliJUnit, UnwritableFileExitsTwoNamingThePath)
{
    TempFolder folder;
    const std::string path = (folder.path() / "missing" / "cards.xml").string();
    SimScenario sim({{"cards", {{{"channel", 8}}}}});
    const CliRun run = RunCli({"verify", "--junit", path});
    EXPECT_EQ(run.exitCode, kExitFailed);
    EXPECT_NE(run.err.find(path), std::string::npos) << run.err;
    EXPECT_FALSE(std::filesystem::exists(path));
    // A full disk: the run is a failure, not a success with half a file.
    const CliRun full = RunCli({"verify", "--junit", "/dev/full"});
    EXPECT_EQ(full.exitCode, kExitFailed);
    EXPECT_NE(full.err.find("Disk full while accessing /dev/full."), std::string::npos) << full.err;
}

} // namespace
