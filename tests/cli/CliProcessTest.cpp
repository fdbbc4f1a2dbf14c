// valdina-cli as a service script runs it: the built program against the
// simulated mainframe, judged by its exit status, its output and the bus log.

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>

#include "CliProcess.h"
#include "ExitCode.h"
#include "ReportFormat.h"
#include "SimScenario.h"
#include "TempFolder.h"
#include "TextLines.h"
#include "XmlDocument.h"
#include "TextFormat.h"

using nlohmann::json;
using valdina::test::SimScenario;
using valdina::test::TestImages;

using valdina::test::SplitLines;

namespace {

json Card(int channel)
{
    return {{"channel", channel}};
}

json Scenario(json cards, json faults = json::array())
{
    return {{"cards", std::move(cards)}, {"faults", std::move(faults)}};
}

// The operator messages among the lines of standard error.
std::vector<std::string> Messages(const std::string& err)
{
    std::vector<std::string> messages;
    for (const std::string& line : SplitLines(err)) {
        if (line.find(" during \"") != std::string::npos)
            messages.push_back(line);
    }
    return messages;
}

// The simulator's serial for a card the scenario gives none.
std::string DefaultSerial(int channel)
{
    return FormatText("%08d", 21000000 + channel);
}

// A fault that makes the simulated mainframe raise `signal` in valdina-cli itself,
// right after serving `command` (on `channel`): a signal at a known point of the run.
json SignalAt(const std::string& command, int channel, int signal, int address = -1)
{
    json fault{{"command", command}, {"channel", channel}, {"kind", "signal"}, {"signal", signal}, {"times", 1}};
    if (address >= 0)
        fault["address"] = address;
    return fault;
}
TEST(CliVerify, AllCardsGoodExitsZeroWithTheReport)
{
    SimScenario sim(Scenario({Card(0), Card(17), Card(255)}));
    const CliRun run = RunCli({"verify"});
    EXPECT_EQ(run.exitCode, kExitOk) << run.err;
    EXPECT_EQ(run.err, "");  // no messages, and no progress bar off a terminal

    ChannelTable expected;
    for (int channel : {0, 17, 255}) {
        expected[static_cast<std::size_t>(channel)].m_nStatus = StatusGood;
        std::strcpy(expected[static_cast<std::size_t>(channel)].m_szSerial, DefaultSerial(channel).c_str());
    }
    EXPECT_EQ(run.out, FormatReport(expected, "\n"));
}

TEST(CliVerify, ACardNotGoodExitsOne)
{
    json failing = Card(4);
    failing["broken"] = {"Xmon"};
    SimScenario sim(Scenario({Card(3), failing, Card(5), Card(6)},
                             {{{"command", "RdEe4"}, {"channel", 5}, {"address", 0x100}, {"kind", "no_srq"}}}));
    const CliRun run = RunCli({"verify"});
    EXPECT_EQ(run.exitCode, kExitNotGood) << run.err;

    const std::vector<std::string> lines = SplitLines(run.out);
    ASSERT_EQ(lines.size(), 5u) << run.out;
    EXPECT_NE(lines[1].find("Good"), std::string::npos) << lines[1];
    EXPECT_NE(lines[2].find("Fail          invalid checksum (Xmon)"), std::string::npos) << lines[2];
    EXPECT_NE(lines[3].find("reading"), std::string::npos) << lines[3];
    EXPECT_NE(lines[4].find("Good"), std::string::npos) << lines[4];  // the pass went on
    EXPECT_EQ(Messages(run.err), std::vector<std::string>{"SRQ not asserted during \"RdEe4\""});
}

TEST(CliVerify, NamedCardsAloneAreVerifiedAndListed)
{
    json failing = Card(4);
    failing["broken"] = {"Xmon"};
    SimScenario sim(Scenario({Card(3), failing, Card(5), Card(6), Card(7)}));
    const CliRun run = RunCli({"verify", "3", "5-6"});
    EXPECT_EQ(run.exitCode, kExitOk) << run.err;
    const std::vector<std::string> lines = SplitLines(run.out);
    ASSERT_EQ(lines.size(), 4u) << run.out;
    for (std::size_t line = 1; line < lines.size(); ++line)
        EXPECT_NE(lines[line].find("Good"), std::string::npos) << lines[line];
    const std::vector<std::string> sent = sim.busLog().commands();
    EXPECT_EQ(std::count(sent.begin(), sent.end(), "S 4"), 1) << "channel 4 was scanned, not verified";

    const CliRun absent = RunCli({"verify", "4-8"});
    EXPECT_EQ(absent.exitCode, kExitRefused);
    EXPECT_EQ(absent.err, "Channel 8 (rack 0, slot 8) holds no card. Nothing was verified.\n");
    EXPECT_EQ(RunCli({"verify", "6-5"}).exitCode, kExitUsage);
}

TEST(CliVerify, MainframeOffExitsTwo)
{
    SimScenario sim({{"off_bus", true}});
    for (const char* command : {"scan", "verify"}) {
        const CliRun run = RunCli({command});
        EXPECT_EQ(run.exitCode, kExitFailed) << command;
        EXPECT_EQ(run.out, "") << command;   // no bare header before a scan that failed at its start
        EXPECT_EQ(Messages(run.err), std::vector<std::string>{"GPIB device 29 not found during \"IsListener\""})
            << command;
    }
}

TEST(CliVerify, MainframeGoneAtTheStartOfThePassExitsTwo)
{
    // One presence query and three commands per card, then silence.
    json scenario = Scenario({Card(1), Card(2)});
    scenario["stop_answering_after"] = 1 + 3 * 2;
    SimScenario sim(scenario);
    const CliRun run = RunCli({"verify"});
    EXPECT_EQ(run.exitCode, kExitFailed) << run.err;
    EXPECT_EQ(Messages(run.err), std::vector<std::string>{"GPIB device 29 not found during \"IsListener\""});
    const std::vector<std::string> lines = SplitLines(run.out);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_NE(lines[1].find("unknown"), std::string::npos) << lines[1];
    EXPECT_EQ(sim.busLog().of("Send").size(), 7u);
}

TEST(CliVerify, FailedScanExitsTwoAndRunsNoPass)
{
    SimScenario sim(Scenario({Card(1), Card(2), Card(3)},
                             {{{"command", "QuerySN"}, {"channel", 2}, {"kind", "no_srq"}}}));
    const CliRun scan = RunCli({"scan"});
    EXPECT_EQ(scan.exitCode, kExitFailed);
    EXPECT_EQ(Messages(scan.err), std::vector<std::string>{"SRQ not asserted during \"QuerySN\""});

    SimScenario again(Scenario({Card(1), Card(2), Card(3)},
                               {{{"command", "QuerySN"}, {"channel", 2}, {"kind", "no_srq"}}}));
    const CliRun verify = RunCli({"verify"});
    EXPECT_EQ(verify.exitCode, kExitFailed);
    EXPECT_EQ(verify.out, scan.out);
    const std::vector<std::string> sent = again.busLog().commands();
    EXPECT_TRUE(std::none_of(sent.begin(), sent.end(), [](const std::string& c) { return c[0] == '<'; }));
}

TEST(CliReport, FileIsTheReportWithCrLf)
{
    TempFolder folder;
    const std::filesystem::path file = folder.path() / "report.txt";
    SimScenario sim(SimScenario::builtIn());
    const CliRun run = RunCli({"verify", "--report", file.string()});
    EXPECT_EQ(run.exitCode, kExitNotGood) << run.err;  // the built-in mainframe shows every outcome

    std::string crlf;
    for (char c : run.out) {
        if (c == '\n')
            crlf += '\r';
        crlf += c;
    }
    EXPECT_GT(SplitLines(run.out).size(), 10u);
    EXPECT_EQ(ReadFile(file), crlf);
}

TEST(CliReport, UnwritableFileExitsTwoNamingThePath)
{
    TempFolder folder;
    const std::string path = (folder.path() / "missing" / "report.txt").string();
    SimScenario sim(Scenario({Card(8)}));
    const CliRun run = RunCli({"verify", "--report", path});
    EXPECT_EQ(run.exitCode, kExitFailed);
    EXPECT_NE(run.err.find(path), std::string::npos) << run.err;
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_EQ(SplitLines(run.out).size(), 2u);  // the table is still printed
}

TEST(CliReport, JsonHoldsTheTableAndTheMessages)
{
    SimScenario sim(SimScenario::builtIn());
    const CliRun text = RunCli({"verify"});
    SimScenario again(SimScenario::builtIn());
    const CliRun run = RunCli({"verify", "--json"});
    EXPECT_EQ(run.exitCode, text.exitCode);

    const json report = json::parse(run.out);
    const std::vector<std::string> lines = SplitLines(text.out);
    ASSERT_EQ(report["channels"].size() + 1, lines.size());
    for (std::size_t i = 0; i < report["channels"].size(); ++i) {
        const json& card = report["channels"][i];
        const int channel = card["channel"];
        EXPECT_EQ(card["rack"], channel / 16);
        EXPECT_EQ(card["slot"], channel % 16);
        char line[256];
        std::snprintf(line, sizeof line, "%8s%6d%6d  %-12s  %s", card["serial"].get<std::string>().c_str(),
                      channel / 16, channel % 16, card["state"].get<std::string>().c_str(),
                      card["error"].get<std::string>().c_str());
        EXPECT_EQ(lines[i + 1], line);
    }
    EXPECT_EQ(report["failures"].get<std::vector<std::string>>(), Messages(run.err));
    const auto exempt = std::find_if(report["channels"].begin(), report["channels"].end(),
                                     [](const json& card) { return card["model"] == "T208"; });
    EXPECT_NE(exempt, report["channels"].end());
}

TEST(CliOutput, UnwritableStandardOutputIsAFailure)
{
    // Every command that prints: a table, JSON, a byte, a dump. A full device
    // swallows none of it silently.
    const TestImages::Image image = TestImages::valid(2);
    for (const std::vector<std::string>& arguments : std::vector<std::vector<std::string>>{
             {"scan"}, {"verify"}, {"verify", "--json"}, {"peek", "9", "0"}, {"dump", "9"}}) {
        SimScenario sim(Scenario({SimScenario::imageCard(9, image)}));
        const CliRun run = RunCli(arguments, "/dev/full");
        EXPECT_EQ(run.exitCode, kExitFailed) << arguments.front() << "\n" << run.err;
        EXPECT_NE(run.err.find("output could not be written"), std::string::npos) << run.err;
        EXPECT_TRUE(Messages(run.err).empty()) << run.err;  // the mainframe did its part
    }
}

TEST(CliUsage, RefusedBeforeAnythingReachesTheBus)
{
    SimScenario sim(Scenario({Card(1)}));
    for (const std::vector<std::string>& arguments : std::vector<std::vector<std::string>>{
             {"peek", "300", "0"}, {"poke", "1", "0x10000", "1"}, {"poke", "1", "2", "0x100"}, {"dump", "x"},
             {"clear", "--json"}, {"bogus"}, {}}) {
        const CliRun run = RunCli(arguments);
        EXPECT_EQ(run.exitCode, kExitUsage) << run.err;
        EXPECT_FALSE(run.err.empty());
        EXPECT_TRUE(run.out.empty());
    }
    EXPECT_TRUE(sim.busLog().records().empty());
    EXPECT_FALSE(std::filesystem::exists(sim.tracePath()) && std::filesystem::file_size(sim.tracePath()) > 0);

    const CliRun help = RunCli({"--help"});
    EXPECT_EQ(help.exitCode, kExitOk);
    EXPECT_NE(help.out.find("64"), std::string::npos);
}

TEST(CliBytes, PeekPrintsTheByte)
{
    const TestImages::Image image = TestImages::valid(5);
    SimScenario sim(Scenario({SimScenario::imageCard(9, image)}));
    const CliRun run = RunCli({"peek", "9", "0x1F"});
    EXPECT_EQ(run.exitCode, kExitOk) << run.err;
    EXPECT_EQ(run.out, FormatText("0x%02X\n", image[0x1F]));
    EXPECT_EQ(sim.busLog().commands(), std::vector<std::string>{"<00020020001F"});
}

TEST(CliBytes, PokeReadsTheCardAndTheByteThenWritesItAndReadsItBack)
{
    SimScenario sim(Scenario({Card(37)}));
    const CliRun run = RunCli({"poke", "37", "0x1F0", "90"});
    EXPECT_EQ(run.exitCode, kExitOk) << run.err;
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(sim.busLog().commands(), (std::vector<std::string>{"S 37", "Q5 7", "Q5 6", "<0200202001F0",
                                                                 ">020020A001F05A", "<0200202001F0"}));
}

TEST(CliBytes, FailuresExitTwoWithTheMessage)
{
    {
        SimScenario sim(Scenario({Card(9)}, {{{"command", "RdEe1"}, {"kind", "no_srq"}}}));
        const CliRun run = RunCli({"peek", "9", "0"});
        EXPECT_EQ(run.exitCode, kExitFailed);
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(Messages(run.err), std::vector<std::string>{"SRQ not asserted during \"RdEe1\""});
    }
    {
        SimScenario sim(Scenario({Card(9)}, {{{"command", "WrEe1"}, {"kind", "error"}, {"code", 5}}}));
        const CliRun run = RunCli({"poke", "9", "0", "0"});
        EXPECT_EQ(run.exitCode, kExitFailed);
        EXPECT_EQ(Messages(run.err), std::vector<std::string>{"Writing address 0x0000 of channel 9 failed: Instrument "
                                                              "error (0x05) during \"WrEe1\"."});
    }
    {
        SimScenario sim({{"off_bus", true}});
        const CliRun run = RunCli({"clear"});
        EXPECT_EQ(run.exitCode, kExitFailed);
        ASSERT_EQ(Messages(run.err).size(), 1u) << run.err;
        EXPECT_NE(Messages(run.err)[0].find("during \"DevClear\""), std::string::npos);
    }
}

TEST(CliBytes, ClearSendsDeviceClear)
{
    SimScenario sim(Scenario({Card(9)}));
    const CliRun run = RunCli({"clear"});
    EXPECT_EQ(run.exitCode, kExitOk) << run.err;
    EXPECT_EQ(sim.busLog().of("DevClear").size(), 1u);
    EXPECT_TRUE(sim.busLog().commands().empty());
}

TEST(CliDump, PrintsTheImageAndItsBlocks)
{
    const TestImages::Image image = TestImages::valid(11, {"Rcal"});
    SimScenario sim(Scenario({SimScenario::imageCard(20, image)}));
    const CliRun run = RunCli({"dump", "20"});
    EXPECT_EQ(run.exitCode, kExitOk) << run.err;

    const std::vector<std::string> lines = SplitLines(run.out);
    ASSERT_GT(lines.size(), 32u);
    for (std::size_t line = 0; line < 32; ++line) {
        std::string expected = FormatText("%04zX ", line * 16);
        for (std::size_t i = 0; i < 16; ++i)
            expected += FormatText(" %02X", image[line * 16 + i]);
        EXPECT_EQ(lines[line], expected);
    }
    for (const TestImages::Block& block : TestImages::blocks()) {
        const auto found = std::find_if(lines.begin() + 32, lines.end(), [&](const std::string& l) {
            return l.rfind(std::string(block.name) + " ", 0) == 0;
        });
        ASSERT_NE(found, lines.end()) << block.name;
        const bool valid = TestImages::blockValid(image, block.name);
        EXPECT_EQ(found->find(" invalid") == std::string::npos, valid) << *found;
    }
    const std::vector<std::string> sent = sim.busLog().commands();
    ASSERT_EQ(sent.size(), 2u + 128u);
    EXPECT_EQ(sent[0], "S 20");
    EXPECT_EQ(sent[1], "Q5 6");
}

TEST(CliDump, ExemptModelIsMarked)
{
    SimScenario sim(Scenario({SimScenario::imageCard(21, TestImages::erased(), "T213")}));
    const CliRun run = RunCli({"dump", "21"});
    EXPECT_EQ(run.exitCode, kExitOk) << run.err;
    EXPECT_NE(run.out.find("T213"), std::string::npos);
    EXPECT_NE(run.out.find("exempt"), std::string::npos);
}

TEST(CliDump, FailedReadExitsTwoAndPrintsNoImage)
{
    SimScenario sim(Scenario({Card(20)}, {{{"command", "RdEe4"}, {"address", 0x100}, {"kind", "error"}, {"code", 3}}}));
    const CliRun run = RunCli({"dump", "20"});
    EXPECT_EQ(run.exitCode, kExitFailed);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(Messages(run.err), std::vector<std::string>{"Instrument error (0x03) during \"RdEe4\""});
}

TEST(CliTrace, OneLinePerTransaction)
{
    SimScenario sim(Scenario({Card(0)}));
    const CliRun run = RunCli({"verify", "--trace"});
    EXPECT_EQ(run.exitCode, kExitOk) << run.err;
    std::vector<std::string> traced;
    for (const std::string& line : SplitLines(run.err)) {
        if (line.rfind("trace: ", 0) == 0 && line.rfind("trace: driver ", 0) != 0)
            traced.push_back(line);
    }
    const std::vector<std::string> sent = sim.busLog().commands();
    ASSERT_EQ(traced.size(), sent.size());
    for (std::size_t i = 0; i < sent.size(); ++i)
        EXPECT_NE(traced[i].find("\"" + sent[i] + "\""), std::string::npos) << traced[i];
    EXPECT_NE(run.err.find("trace: QueryPresent \"Q2\" reply=0100"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("trace: RdEe4 \"<000001220000\" reply="), std::string::npos);
    EXPECT_NE(run.err.find("stb=0x"), std::string::npos);
    EXPECT_NE(run.err.find(" ok "), std::string::npos);
    // Every driver call too, with the status it left: the listener search and the serial polls.
    EXPECT_NE(run.err.find("trace: driver FindLstn board=0 address=29 ibsta=0x"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("trace: driver ReadStatusByte board=0 address=29 ibsta=0x"), std::string::npos);

    // A failed call names its error.
    SimScenario missing({{"base", "default"}, {"board", "missing"}});
    const CliRun failed = RunCli({"scan", "--trace"});
    EXPECT_NE(failed.err.find("trace: driver FindLstn board=0 address=29 ibsta=0x8000 iberr=0 EDVR ibcntl=2\n"),
              std::string::npos) << failed.err;
}

} // namespace

TEST(CliCancel, SignalsStopAtTheNextCardAndPrintTheTableAsItStands)
{
    const json cards = {Card(0), Card(1), Card(2)};
    ChannelTable expected;
    for (int channel : {0, 1, 2}) {
        expected[static_cast<std::size_t>(channel)].m_nStatus = channel < 2 ? StatusGood : StatusUnknown;
        std::strcpy(expected[static_cast<std::size_t>(channel)].m_szSerial, DefaultSerial(channel).c_str());
    }
    {
        // SIGINT while channel 1 is read: it is finished and judged, channel 2 is not touched.
        SimScenario sim(Scenario(cards, {SignalAt("RdEe4", 1, SIGINT, 0)}));
        TempFolder folder;
        const auto junit = folder.path() / "cards.xml";
        const CliRun run = RunCli({"verify", "--junit", junit.string()});
        EXPECT_EQ(run.exitCode, 130) << run.err;
        EXPECT_EQ(run.err, "valdina-cli: verify cancelled after 2 of 3 cards\n");
        EXPECT_EQ(run.out, FormatReport(expected, "\n"));
        // One error case says the run was cancelled; the card never reached is skipped, not blamed on the bus.
        const XmlDocument xml(ReadFile(junit));
        EXPECT_EQ(xml.text("/testsuite/@errors"), "1");
        EXPECT_EQ(xml.text("/testsuite/testcase[1]/error/@type"), "cancelled");
        EXPECT_EQ(xml.text("/testsuite/testcase[1]/error/@message"), "verify cancelled after 2 of 3 cards");
        EXPECT_EQ(xml.text("/testsuite/testcase[4]/skipped/@message"),
                  "not reached: verify cancelled after 2 of 3 cards");
        const auto sent = sim.busLog().commands();
        EXPECT_EQ(std::count(sent.begin(), sent.end(), "S 2"), 1) << "only the scan selects channel 2";
    }
    {
        // SIGTERM during the scan: the cards not reached are unknown, nothing is verified.
        SimScenario sim(Scenario(cards, {SignalAt("Select", 1, SIGTERM)}));
        const CliRun run = RunCli({"verify", "--json"});
        EXPECT_EQ(run.exitCode, 143) << run.err;
        EXPECT_EQ(run.err, "valdina-cli: scan cancelled after 2 of 3 cards\n");
        const json report = json::parse(run.out);
        EXPECT_EQ(report.dump().find("Good"), std::string::npos) << run.out;
        const auto sent = sim.busLog().commands();
        EXPECT_EQ(std::count(sent.begin(), sent.end(), "S 2"), 0);
    }
    {
        // SIGINT during the scan's last card: the scan says so, and no pass follows.
        SimScenario sim(Scenario(cards, {SignalAt("QuerySN", 2, SIGINT)}));
        const CliRun run = RunCli({"verify"});
        EXPECT_EQ(run.exitCode, 130) << run.err;
        EXPECT_EQ(run.err, "valdina-cli: scan cancelled after 3 of 3 cards\n");
        const auto sent = sim.busLog().commands();
        EXPECT_EQ(std::count_if(sent.begin(), sent.end(), [](const std::string& c) { return c.starts_with("<"); }), 0);
    }
    {
        // A second signal ends it at once, with no table.
        SimScenario sim(Scenario(cards, {SignalAt("Select", 0, SIGINT), SignalAt("QuerySN", 0, SIGTERM)}));
        const CliRun run = RunCli({"verify"});
        EXPECT_EQ(run.signal, SIGTERM) << run.err;
        EXPECT_EQ(run.out, "");
    }
}
