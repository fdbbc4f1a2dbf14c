// The image loader's fuzz seeds without libFuzzer, so every build and the
// sanitizer build run them.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "ImageFileCheck.h"

TEST(ImageFileReplay, EverySeedKeepsTheLoadersRules)
{
    std::vector<std::filesystem::path> seeds;
    for (const auto& entry : std::filesystem::directory_iterator(IMAGE_RECORD_CORPUS))
        seeds.push_back(entry.path());
    ASSERT_FALSE(seeds.empty());
    std::sort(seeds.begin(), seeds.end());
    // A broken rule aborts the run and names the seed here.
    for (const auto& path : seeds) {
        std::fprintf(stderr, "replaying %s\n", path.filename().c_str());
        std::ifstream file(path, std::ios::binary);
        const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(file), {}};
        CheckImageFileInput(bytes.data(), bytes.size());
    }
}
