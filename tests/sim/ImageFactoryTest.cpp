// The simulator's image generator, checked against the block table and sums
// of the test support, which are written independently.
#include <gtest/gtest.h>

#include <algorithm>

#include "ImageFactory.h"
#include "ImageLayout.h"
#include "TestImages.h"

using valdina::test::TestImages;

namespace {
TestImages::Image asTestImage(const zsim::Eeprom& e) {
    TestImages::Image out{};
    std::copy(e.begin(), e.end(), out.begin());
    return out;
}
}  // namespace

TEST(SimImageFactory, ValidImageBreaksExactlyTheNamedBlocks) {
    const std::vector<std::vector<std::string>> brokenSets{
        {}, {"Header"}, {"gain", "Xmon"}, {"filter", "Rcal", "Vexc", "Iexc"},
        {"Header", "gain", "filter", "Rcal", "Vexc", "Iexc", "Xmon"}};
    for (const auto& broken : brokenSets) {
        for (std::uint32_t seed : {0u, 1u, 77u}) {
            const auto image = asTestImage(zsim::ImageFactory::valid(seed, broken));
            for (const auto& block : TestImages::blocks()) {
                SCOPED_TRACE(std::string(block.name) + " seed " + std::to_string(seed));
                const bool shouldBreak = std::find(broken.begin(), broken.end(), block.name) != broken.end();
                EXPECT_EQ(TestImages::blockValid(image, block.name), !shouldBreak);
            }
        }
    }
}

TEST(SimImageFactory, LayoutMatchesTheBlockTable) {
    ASSERT_EQ(zsim::ImageLayout::blocks().size(), TestImages::blocks().size());
    for (const auto& b : TestImages::blocks()) {
        const auto found = zsim::ImageLayout::find(b.name);
        ASSERT_TRUE(found.has_value()) << b.name;
        EXPECT_EQ(found->offset, b.offset);
        EXPECT_EQ(found->length, b.length);
    }
    EXPECT_FALSE(zsim::ImageLayout::find("header").has_value());
}

TEST(SimImageFactory, GapBytesDifferBetweenSeeds) {
    const auto a = zsim::ImageFactory::valid(1);
    const auto b = zsim::ImageFactory::valid(2);
    int differing = 0;
    for (int gap : {20, 200, 280, 320})
        for (int i = 0; i < 4; ++i) differing += a[gap + i] != b[gap + i];
    EXPECT_GT(differing, 8);
    EXPECT_EQ(zsim::ImageFactory::valid(1), a);
}

TEST(SimImageFactory, ErasedAndZeroImages) {
    EXPECT_EQ(asTestImage(zsim::ImageFactory::erased()), TestImages::erased());
    EXPECT_EQ(asTestImage(zsim::ImageFactory::zero()), TestImages::zero());
}
