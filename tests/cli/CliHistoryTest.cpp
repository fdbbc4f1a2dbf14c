// valdina-cli and the card history: the built program on the simulated mainframe,
// recording into a real SQLite file and answering from it.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <thread>

#include <nlohmann/json.hpp>

#include "CliProcess.h"
#include "ExitCode.h"
#include "SimScenario.h"
#include "TempFolder.h"
#include "TextLines.h"

using nlohmann::json;
using valdina::test::SimScenario;
using valdina::test::SplitLines;
using valdina::test::TestImages;

namespace {

json Mainframe(const TestImages::Image& image)
{
    return {{"cards", {SimScenario::imageCard(37, image), {{"channel", 38}}}}};
}

std::size_t Writes(const SimScenario& sim)
{
    std::size_t writes = 0;
    for (const std::string& command : sim.busLog().commands())
        writes += command[0] == '>' ? 1 : 0;
    return writes;
}

} // namespace

TEST(CliHistory, ARestoresWritesAreListedAsJsonCsvAndText)
{
    TempFolder folder;
    const std::string store = (folder.path() / "history.sqlite").string();
    const std::string file = (folder.path() / "card.bin").string();
    const TestImages::Image good = TestImages::valid(7);
    {
        SimScenario sim(Mainframe(good));
        ASSERT_EQ(RunCli({"save", "37", file, "--history", store}).exitCode, kExitOk);
    }
    SimScenario sim(Mainframe(TestImages::valid(7, {"gain"})));
    const CliRun restore = RunCli({"--history", store, "restore", "37", file});
    ASSERT_EQ(restore.exitCode, kExitOk) << restore.err;

    const CliRun listed = RunCli({"history", "21000037", "--writes", "--json", "--history", store});
    ASSERT_EQ(listed.exitCode, kExitOk) << listed.err;
    const json entries = json::parse(listed.out);
    ASSERT_EQ(entries.size(), Writes(sim));
    for (const json& entry : entries) {
        EXPECT_EQ(entry["kind"], "write");
        EXPECT_EQ(entry["command"], "--history " + store + " restore 37 " + file);
        EXPECT_EQ(entry["file"], file);
        EXPECT_EQ(entry["outcome"], "written");
        ASSERT_TRUE(entry["address"].is_number()) << entry;
        EXPECT_EQ(entry["written"], good[entry["address"].get<std::size_t>()]);
        EXPECT_EQ(entry["readBack"], entry["written"]);
    }

    // The whole history: the save and the restore's run with the verdict it earned.
    const CliRun text = RunCli({"history", "21000037", "--history", store});
    const std::vector<std::string> lines = SplitLines(text.out);
    ASSERT_GE(lines.size(), 3u) << text.out;
    EXPECT_EQ(lines[0].rfind("WHEN (UTC)", 0), 0u);
    EXPECT_NE(lines[1].find(" Good  [--history " + store + " restore 37 "), std::string::npos) << lines[1];
    EXPECT_NE(lines.back().find("image saved to " + file + " (SHA-256 "), std::string::npos) << lines.back();
    const CliRun csv = RunCli({"history", "--channel", "37", "--csv", "--history", store});
    EXPECT_EQ(SplitLines(csv.out).size(), lines.size()) << "a header and a line for each entry";
}

TEST(CliHistory, TwoRunsRecordAtOnce)
{
    TempFolder folder;
    const std::string store = (folder.path() / "history.sqlite").string();
    SimScenario sim(Mainframe(TestImages::valid(7)));
    CliRun second;
    std::thread other;
    const CliRun first = RunCli({"verify", "--history", store}, {}, [&](int) {
        other = std::thread([&] { second = RunCli({"verify", "37", "--history", store}); });
    });
    other.join();
    ASSERT_EQ(first.exitCode, kExitOk) << first.err;
    ASSERT_EQ(second.exitCode, kExitOk) << second.err;
    const CliRun listed = RunCli({"history", "21000037", "--json", "--history", store});
    const json entries = json::parse(listed.out);
    ASSERT_EQ(entries.size(), 2u) << listed.out;
    EXPECT_NE(entries[0]["command"], entries[1]["command"]);
}

// A store that cannot record: writes are refused unless --no-history, passes run
// as always with one warning line, and the history says why it cannot answer.
TEST(CliHistory, AStoreThatCannotRecordRefusesWritesButNeverAPass)
{
    TempFolder folder;
    const std::string notAStore = (folder.path() / "notes.txt").string();
    std::ofstream(notAStore) << "not a database\n";
    struct Row {
        std::vector<std::string> arguments;
        int exitCode;
        bool writes;
        std::string says;
    };
    const std::vector<Row> rows = {
        {{"poke", "37", "0x30", "0", "--history", notAStore}, kExitRefused, false,
         "Nothing was written; --no-history writes without recording it."},
        {{"poke", "37", "0x30", "0", "--no-history"}, kExitOk, true,
         "The write into channel 37 is not recorded in the card history (--no-history)."},
        {{"verify", "--history", notAStore}, kExitOk, false, "This run is not recorded in the card history: "},
        {{"history", "21000037", "--history", notAStore}, kExitFailed, false, " is not an SQLite database."},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.arguments[0] + " " + row.arguments.back());
        SimScenario sim(Mainframe(TestImages::valid(7)));
        const CliRun run = RunCli(row.arguments);
        EXPECT_EQ(run.exitCode, row.exitCode) << run.err;
        EXPECT_EQ(Writes(sim) > 0, row.writes);
        EXPECT_NE(run.err.find(row.says), std::string::npos) << run.err;
        EXPECT_EQ(ReadFile(notAStore), "not a database\n");
        if (row.arguments[0] == "verify") {
            EXPECT_EQ(SplitLines(run.err).size(), 1u) << run.err;
            EXPECT_NE(run.out.find("21000037     2     5  Good"), std::string::npos) << run.out;
        }
    }
}
