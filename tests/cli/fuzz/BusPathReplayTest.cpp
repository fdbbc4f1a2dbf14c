// The bus path's inputs without libFuzzer, so every build and the sanitizer
// build run them: the checked-in seeds, the inputs that once broke the path,
// and a recording of the simulated mainframe that must replay to the same output.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "BusPath.h"
#include "SimScenario.h"

using valdina::fuzz::BusPathSettings;
using valdina::fuzz::FuzzDriver;
using valdina::fuzz::RunBusPath;
using valdina::fuzz::RunBusPathInput;

namespace {

void ReplayAll(const char* folder)
{
    std::vector<std::filesystem::path> inputs;
    for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::path(BUS_PATH_INPUTS) / folder))
        inputs.push_back(entry.path());
    ASSERT_FALSE(inputs.empty()) << folder;
    std::sort(inputs.begin(), inputs.end());
    // A broken check aborts the run and names the input here.
    for (const auto& path : inputs) {
        std::fprintf(stderr, "replaying %s\n", path.filename().c_str());
        std::ifstream file(path, std::ios::binary);
        const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(file), {}};
        RunBusPathInput(bytes.data(), bytes.size());
    }
}

} // namespace

TEST(BusPathReplay, SeedsAndInputsThatOnceBrokeThePathPassEveryCheck)
{
    ReplayAll("corpus");
    ReplayAll("regressions");
}

TEST(BusPathReplay, RecordedMainframeReplaysToTheSameOutput)
{
    valdina::test::SimScenario scenario({
        {"cards", {{{"channel", 3}}, {{"channel", 37}, {"model", "T208"}, {"serial", "00000001"}},
                   {{"channel", 40}, {"broken", {"Rcal"}}}}},
        {"faults", {{{"command", "SetGain"}, {"channel", 3}, {"gain", 1}, {"kind", "error"}, {"code", 16}}}},
    });
    const BusPathSettings settings{true, 37, 0x10, 0x5A};
    FuzzDriver& driver = FuzzDriver::Instance();
    ASSERT_TRUE(driver.Record("libgpib.so.0"));
    const std::string recordedOutput = RunBusPath(settings);

    std::vector<std::uint8_t> input = valdina::fuzz::WriteSettings(settings);
    const std::vector<std::uint8_t> answers = driver.Recorded();
    input.insert(input.end(), answers.begin(), answers.end());
    EXPECT_EQ(RunBusPathInput(input.data(), input.size()), recordedOutput);
    // The mainframe's verdicts came through: the gain fault, the exempt card, the broken block.
    EXPECT_NE(recordedOutput.find("azro error during G1"), std::string::npos) << recordedOutput;
    EXPECT_NE(recordedOutput.find("00000001     2     5  Good"), std::string::npos) << recordedOutput;
    EXPECT_NE(recordedOutput.find("invalid checksum (Rcal)"), std::string::npos) << recordedOutput;
}
