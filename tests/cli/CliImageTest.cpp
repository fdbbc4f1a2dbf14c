// valdina-cli's save, compare and restore as a service script runs them: the built
// program on the simulated mainframe, real files, judged by exit status, output
// and the bus log.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <thread>
#include <tuple>

#include <nlohmann/json.hpp>
#include <sys/stat.h>

#include "CliProcess.h"
#include "ExitCode.h"
#include "SimScenario.h"
#include "TempFolder.h"

using nlohmann::json;
using valdina::test::SimScenario;
using valdina::test::TestImages;

namespace {

json Mainframe(const TestImages::Image& image, const json& extra = json::object())
{
    json card = SimScenario::imageCard(37, image);
    card.update(extra);
    return {{"cards", {card, {{"channel", 38}}}}};
}

std::size_t Writes(const SimScenario& sim)
{
    const auto sent = sim.busLog().commands();
    return static_cast<std::size_t>(std::count_if(sent.begin(), sent.end(), [](const std::string& c) { return c[0] == '>'; }));
}

// The image of the good card saved to `folder`/card.bin.
std::string SaveGood(const TempFolder& folder)
{
    SimScenario sim(Mainframe(TestImages::valid(7)));
    const std::string file = (folder.path() / "card.bin").string();
    const CliRun run = RunCli({"save", "37", file});
    EXPECT_EQ(run.exitCode, kExitOk) << run.err;
    return file;
}

} // namespace

TEST(CliImage, SaveCompareRestoreBringsACorruptedGainBlockBackToGood)
{
    TempFolder folder;
    const std::string file = SaveGood(folder);
    EXPECT_EQ(json::parse(ReadFile(folder.path() / "card.json"))["serial"], "21000037");

    SimScenario sim(Mainframe(TestImages::valid(7, {"gain"})));
    const CliRun before = RunCli({"compare", "37", file});
    EXPECT_EQ(before.exitCode, kExitNotGood) << before.err;
    EXPECT_NE(before.out.find("gain: "), std::string::npos) << before.out;
    const json differences = json::parse(RunCli({"compare", "--json", "37", file}).out);
    EXPECT_FALSE(differences["same"].get<bool>());
    for (const json& d : differences["differences"])
        EXPECT_EQ(d["block"], "gain");

    // Each run is a session of its own: the simulated card is corrupted again at the
    // start of every run, so the restore's own final read and verdict tell the outcome.
    sim.clearBusLog();
    const CliRun restore = RunCli({"restore", "37", file});
    EXPECT_EQ(restore.exitCode, kExitOk) << restore.err;
    EXPECT_NE(restore.out.find("Channel 37 restored"), std::string::npos) << restore.out;
    EXPECT_EQ(Writes(sim), differences["differences"].size());

    // Two files: the corrupted card's image against the good one.
    const std::string corrupted = (folder.path() / "corrupted.bin").string();
    ASSERT_EQ(RunCli({"save", "37", corrupted}).exitCode, kExitOk);
    const CliRun files = RunCli({"compare", "--json", corrupted, file});
    EXPECT_EQ(files.exitCode, kExitNotGood);
    EXPECT_EQ(json::parse(files.out)["differences"], differences["differences"]);
}

TEST(CliImage, RefusedRestoresWriteNothingAndOnlyTheYieldingOnesGiveWayToForce)
{
    TempFolder folder;
    const std::string good = SaveGood(folder);
    // The scan's QuerySN of channel 37 is the last its old card answers: then another is in the slot.
    const json swap = {{"command", "QuerySN"}, {"channel", 37}, {"kind", "swap"}, {"serial", "99000037"}};
    // Each refusal's wording is the core's; here: nothing reaches the card before the
    // checks, the refusal exits 3, and --force moves only what it may.
    for (const auto& [channel, faults, says, forceHelps] :
         {std::tuple{"39", json::array(), "Channel 39 (rack 2, slot 7) holds no card.", false},
          std::tuple{"38", json::array(), "saved from serial 21000037; the card in channel 38 has serial 21000038", true},
          std::tuple{"37", json::array({swap}), "Channel 37 now holds serial 99000037, not 21000037", true}}) {
        SCOPED_TRACE(channel);
        json scenario = Mainframe(TestImages::valid(7, {"gain"}));
        scenario["faults"] = faults;
        SimScenario sim(scenario);
        const CliRun refused = RunCli({"restore", channel, good});
        EXPECT_EQ(refused.exitCode, kExitRefused);
        EXPECT_NE(refused.err.find(says), std::string::npos) << refused.err;
        EXPECT_EQ(Writes(sim), 0u);
        const CliRun forced = RunCli({"restore", "--force", channel, good});
        EXPECT_EQ(forced.exitCode == kExitOk, forceHelps) << forced.err;
        EXPECT_EQ(Writes(sim) > 0, forceHelps);
    }
}

TEST(CliImage, ARestoreIntoACardWhoseGainSelfTestFailsEndsNotGood)
{
    TempFolder folder;
    const std::string good = SaveGood(folder);
    json scenario = Mainframe(TestImages::valid(7, {"gain"}));
    scenario["faults"] = {{{"command", "SetGain"}, {"channel", 37}, {"gain", 1000}, {"kind", "error"}, {"stb", 80}}};
    SimScenario sim(scenario);
    const CliRun run = RunCli({"restore", "37", good});
    EXPECT_EQ(run.exitCode, kExitNotGood) << run.err;
    EXPECT_NE(run.out.find("The card is Fail: azro error during G1000."), std::string::npos) << run.out;
    EXPECT_GT(Writes(sim), 0u);
}

TEST(CliImage, InterruptedRestoreStopsAfterAByteReadBackAndSaysHowFar)
{
    TempFolder folder;
    const std::string file = SaveGood(folder);
    json scenario = Mainframe(TestImages::erased());
    scenario["latency_us"] = 2000;
    SimScenario sim(scenario);
    const auto writtenThree = [&](int pid) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (Writes(sim) < 3 && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        kill(pid, SIGINT);
    };
    const CliRun stopped = RunCli({"restore", "37", file}, {}, writtenThree);
    EXPECT_EQ(stopped.exitCode, 130) << stopped.err;
    EXPECT_NE(stopped.err.find("cancelled"), std::string::npos) << stopped.err;
    const std::size_t written = Writes(sim);
    EXPECT_GE(written, 3u);
    EXPECT_NE(stopped.err.find(std::to_string(written) + " of "), std::string::npos) << stopped.err;
    // The last frame is a read-back: no write was left without one.
    EXPECT_EQ(sim.busLog().commands().back()[0], '<');
}

TEST(CliImage, SaveAllNamesEachCardsImageBySerialModelAndChannel)
{
    TempFolder folder;
    SimScenario sim({{"cards", {{{"channel", 0}}, {{"channel", 37}, {"model", "T208"}}}}});
    const CliRun run = RunCli({"save", "--all", folder.path().string()});
    EXPECT_EQ(run.exitCode, kExitOk) << run.err;
    for (const char* name : {"21000000-T210-ch000", "21000037-T208-ch037"}) {
        EXPECT_EQ(std::filesystem::file_size(folder.path() / (std::string(name) + ".bin")), 512u) << name;
        EXPECT_TRUE(std::filesystem::exists(folder.path() / (std::string(name) + ".json"))) << name;
    }
    // A folder that is not there: one message naming the file, not one per card.
    const CliRun missing = RunCli({"save", "--all", (folder.path() / "none").string()});
    EXPECT_EQ(missing.exitCode, kExitFailed);
    EXPECT_EQ(missing.err.find((folder.path() / "none" / "21000000-T210-ch000.bin").string()), 0u) << missing.err;
    EXPECT_EQ(missing.err.find('\n'), missing.err.size() - 1) << missing.err;
}

TEST(CliImage, ExistingImagesAreKeptUnlessForcedAndNamed)
{
    TempFolder folder;
    const std::string file = SaveGood(folder);
    const std::string record = (folder.path() / "card.json").string();
    SimScenario sim({{"cards", {{{"channel", 37}, {"serial", "21000099"}}}}});
    // One row per command: refused without --force, naming each file in the way.
    struct Row {
        std::vector<std::string> save;
        std::vector<std::string> inTheWay;
    };
    const std::string all = (folder.path() / "21000099-T210-ch037").string();
    std::ofstream(all + ".json") << "{}";
    const Row rows[] = {{{"save", "37", file}, {file, record}}, {{"save", "--all", folder.path().string()}, {all + ".json"}}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.save[1]);
        std::vector<std::string> before;
        for (const std::string& name : row.inTheWay)
            before.push_back(ReadFile(name));
        const CliRun refused = RunCli(row.save);
        EXPECT_EQ(refused.exitCode, kExitRefused) << refused.err;
        EXPECT_NE(refused.err.find("--force"), std::string::npos) << refused.err;
        for (std::size_t i = 0; i < before.size(); ++i) {
            EXPECT_NE(refused.err.find(row.inTheWay[i]), std::string::npos) << refused.err;
            EXPECT_EQ(ReadFile(row.inTheWay[i]), before[i]) << "kept byte for byte";
        }
        std::vector<std::string> forced = row.save;
        forced.insert(forced.begin() + 1, "--force");
        const CliRun replaced = RunCli(forced);
        EXPECT_EQ(replaced.exitCode, kExitOk) << replaced.err;
        EXPECT_EQ(json::parse(ReadFile(row.inTheWay.back()))["serial"], "21000099");
    }
}

TEST(CliImage, UntrustedFilesAreRefusedAtOnceAndNeverCrashTheProgram)
{
    TempFolder folder;
    const std::string good = SaveGood(folder);
    SimScenario sim(Mainframe(TestImages::valid(7)));
    const std::string pipe = (folder.path() / "pipe.bin").string();
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    // A record whose channel is text once aborted both programs.
    const std::string bad = (folder.path() / "bad.bin").string();
    std::filesystem::copy_file(good, bad);
    json record = json::parse(ReadFile(folder.path() / "card.json"));
    record["channel"] = "5";
    std::ofstream(folder.path() / "bad.json") << record.dump();
    struct Row {
        std::vector<std::string> command;
        std::string says;
    };
    const Row rows[] = {
        {{"compare", "37", pipe}, pipe + " is a FIFO (named pipe), not a file"},
        {{"restore", "37", pipe}, pipe + " is a FIFO (named pipe), not a file"},
        {{"compare", good, (folder.path() / "none.bin").string()}, "none.bin does not exist."},
        {{"restore", "37", bad}, "the field \"channel\" is text; it must be a whole number from 0 to 255"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.command.back());
        sim.clearBusLog();
        const CliRun run = RunCli(row.command);
        EXPECT_EQ(run.exitCode, kExitRefused) << run.err;
        EXPECT_NE(run.err.find(row.says), std::string::npos) << run.err;
        EXPECT_EQ(Writes(sim), 0u);
    }
}
