// --junit as a CI server reads it: the built program against the simulated
// mainframe, its file judged by a strict XML parser.

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <regex>

#include "CliProcess.h"
#include "ExitCode.h"
#include "SimScenario.h"
#include "TempFolder.h"
#include "XmlDocument.h"

using nlohmann::json;
using valdina::test::SimScenario;

namespace {

const std::string kSuite = "/testsuites/testsuite";

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
    EXPECT_EQ(xml.text(kSuite + "/@name"), "Zentra mainframe at GPIB board 0, address 29");
    EXPECT_EQ(xml.text(kSuite + "/@tests"), "4");
    EXPECT_EQ(xml.text(kSuite + "/@failures"), "1");
    EXPECT_EQ(xml.text(kSuite + "/@errors"), "1");
    EXPECT_GE(std::stod(xml.text(kSuite + "/@time")), 0);
    EXPECT_FALSE(xml.text(kSuite + "/@hostname").empty());
    EXPECT_TRUE(std::regex_match(xml.text(kSuite + "/@timestamp"), std::regex(R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d)")));

    // Channel order; Good has no child, Fail a failure, a card left reading an error.
    EXPECT_EQ(xml.text(Case(1, "/@name")), "channel 3 (rack 0, slot 3)");
    EXPECT_EQ(xml.text("count(" + Case(1, "/*") + ")"), "0");
    EXPECT_EQ(xml.text(Case(2, "/failure/@message")), "invalid checksum (Xmon)");
    EXPECT_EQ(xml.text(Case(3, "/@name")), "channel 5 (rack 0, slot 5)");
    EXPECT_EQ(xml.text(Case(3, "/error/@message")),
              "left \"reading\" by a bus failure: SRQ not asserted during \"RdEe4\"");
    EXPECT_EQ(xml.text(Case(4, "/@name")), "channel 37 (rack 2, slot 5)");
    // Markup in the card's texts stays text; the control byte becomes U+FFFD.
    EXPECT_EQ(xml.text(Case(4, "/@classname")), "model T2'0, serial \xEF\xBF\xBD<&\xC3\xA9]]>");
    for (int index = 1; index <= 4; ++index)
        EXPECT_GE(std::stod(xml.text(Case(index, "/@time"))), 0) << index;
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
    EXPECT_EQ(xml.text(kSuite + "/@skipped"), "1");
    EXPECT_EQ(xml.text("count(" + Case(2, "/skipped") + ")"), "1");
}

TEST(CliJUnit, FailedPassIsAnErrorNeverAnEmptySuccess)
{
    SimScenario sim({{"off_bus", true}});
    TempFolder folder;
    const auto path = folder.path() / "off.xml";
    const CliRun run = RunCli({"verify", "--junit", path.string()});
    EXPECT_EQ(run.exitCode, kExitFailed);
    const XmlDocument xml(ReadFile(path));
    ASSERT_TRUE(xml.ok()) << xml.error();
    EXPECT_EQ(xml.text(kSuite + "/@errors"), "1");
    EXPECT_EQ(xml.text(Case(1, "/error/@message")), "GPIB device 29 not found during \"IsListener\"");
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
