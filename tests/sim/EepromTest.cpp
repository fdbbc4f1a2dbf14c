// EEPROM access frames: reply layouts, read-after-write, edges of the part.
#include <gtest/gtest.h>

#include <cstdio>

#include "SimDriver.h"
#include "SimScenario.h"
#include "TestImages.h"

using valdina::test::SimScenario;
using valdina::test::TestImages;
using Bytes = std::vector<std::uint8_t>;

namespace {

std::string frame(char dir, int channel, int code, unsigned address, int data = -1) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%c%02X%04X%02X%04X", dir, channel / 16, 1u << (channel % 16), code, address);
    std::string s = buf;
    if (data >= 0) {
        std::snprintf(buf, sizeof buf, "%02X", data);
        s += buf;
    }
    return s;
}

std::string rd1(int ch, unsigned a) { return frame('<', ch, 0x20, a); }
std::string rd4(int ch, unsigned a) { return frame('<', ch, 0x22, a); }
std::string wr1(int ch, unsigned a, int v) { return frame('>', ch, 0xA0, a, v); }

TestImages::Image readImage(int channel) {
    TestImages::Image image{};
    for (unsigned a = 0; a < 512; a += 4) {
        const auto t = SimDriver::get().transact(rd4(channel, a), 8);
        EXPECT_EQ(t.reply.size(), 8u);
        EXPECT_EQ(t.stb, 0x40);
        for (size_t i = 0; i < 4 && 4 + i < t.reply.size(); ++i) image[a + i] = t.reply[4 + i];
    }
    return image;
}

}  // namespace

TEST(SimEeprom, ReadFramesEchoTheHeaderThenCarryTheData) {
    const auto image = TestImages::valid(11);
    SimScenario sc({{"cards", {SimScenario::imageCard(37, image), SimScenario::imageCard(255, image)}}});
    auto& d = SimDriver::get();
    EXPECT_EQ(d.transact(rd4(37, 0x1F0), 8).reply,
              (Bytes{0x02, 0x00, 0x20, 0x22, image[0x1F0], image[0x1F1], image[0x1F2], image[0x1F3]}));
    EXPECT_EQ(d.transact(rd1(37, 0x1F0), 5).reply, (Bytes{0x02, 0x00, 0x20, 0x20, image[0x1F0]}));
    EXPECT_EQ(d.transact(rd1(255, 7), 5).reply, (Bytes{0x0F, 0x80, 0x00, 0x20, image[7]}));
}

TEST(SimEeprom, WholeImageReadsBackByteForByte) {
    const auto image = TestImages::valid(5, {"filter"});
    SimScenario sc({{"cards", {SimScenario::imageCard(16, image)}}});
    EXPECT_EQ(readImage(16), image);
}

TEST(SimEeprom, WrittenByteIsReadBackByBothFrames) {
    SimScenario sc({{"cards", {SimScenario::imageCard(37, TestImages::zero())}}});
    auto& d = SimDriver::get();
    const auto w = d.transact(wr1(37, 0x1F0, 0x5A));
    EXPECT_TRUE(w.reply.empty());
    EXPECT_EQ(w.stb, 0x40);
    d.transact(wr1(37, 0x1F3, 0xC3));
    d.transact("S 0");  // selection does not matter to frames
    EXPECT_EQ(d.transact(rd1(37, 0x1F0), 5).reply.at(4), 0x5A);
    EXPECT_EQ(d.transact(rd4(37, 0x1F0), 8).reply, (Bytes{0x02, 0x00, 0x20, 0x22, 0x5A, 0, 0, 0xC3}));
    EXPECT_EQ(d.transact(rd4(37, 0x1EC), 8).reply, (Bytes{0x02, 0x00, 0x20, 0x22, 0, 0, 0, 0}));
}

TEST(SimEeprom, AddressesBeyondThePartReadFFAndIgnoreWrites) {
    SimScenario sc({{"cards", {SimScenario::imageCard(3, TestImages::zero())}}});
    auto& d = SimDriver::get();
    EXPECT_EQ(d.transact(rd4(3, 510), 8).reply, (Bytes{0, 0, 0x08, 0x22, 0, 0, 0xFF, 0xFF}));
    EXPECT_EQ(d.transact(wr1(3, 512, 0x12)).stb, 0x40);
    EXPECT_EQ(d.transact(rd1(3, 512), 5).reply.at(4), 0xFF);
    EXPECT_EQ(d.transact(rd1(3, 0xFFFF), 5).reply.at(4), 0xFF);
    EXPECT_EQ(d.transact(rd1(3, 0), 5).reply.at(4), 0x00);  // no wrap-around to the start
}

TEST(SimEeprom, FramesForAnAbsentCardReportNoCard) {
    SimScenario sc({{"cards", {{{"channel", 3}}}}});
    auto& d = SimDriver::get();
    for (const auto& cmd : {rd1(4, 0), rd4(4, 0), wr1(4, 0, 1)}) {
        SCOPED_TRACE(cmd);
        const auto t = d.transact(cmd, 8);
        EXPECT_TRUE(t.reply.empty());
        EXPECT_EQ(t.stb, 0x42);
    }
}

TEST(SimEeprom, WriteProtectedCardAndStuckCellKeepTheirBytes) {
    SimScenario sc({{"cards",
                     {{{"channel", 3}, {"image", "zero"}, {"write_protected", true}},
                      {{"channel", 4}, {"image", "zero"}, {"stuck", {24}}}}}});
    struct Row {
        int channel;
        unsigned address;
        int stb;       // the write's status byte
        int readBack;  // the byte afterwards
    };
    for (const Row& row : {Row{3, 24, 0x43, 0x00}, Row{4, 24, 0x40, 0x00}, Row{4, 25, 0x40, 0x5A}}) {
        SCOPED_TRACE(std::to_string(row.channel) + " @" + std::to_string(row.address));
        EXPECT_EQ(SimDriver::get().transact(wr1(row.channel, row.address, 0x5A)).stb, row.stb);
        EXPECT_EQ(SimDriver::get().transact(rd1(row.channel, row.address), 5).reply.at(4), row.readBack);
    }
}

TEST(SimEeprom, GeneratedImagesHaveTheRequestedBlocksBroken) {
    SimScenario sc({{"cards",
                     {{{"channel", 1}, {"image", "valid"}, {"seed", 9}},
                      {{"channel", 2}, {"broken", {"Header", "Vexc"}}},
                      {{"channel", 4}, {"image", "erased"}},
                      {{"channel", 5}, {"image", "zero"}}}}});
    const auto good = readImage(1);
    const auto broken = readImage(2);
    for (const auto& block : TestImages::blocks()) {
        SCOPED_TRACE(std::string(block.name));
        EXPECT_TRUE(TestImages::blockValid(good, block.name));
        EXPECT_EQ(TestImages::blockValid(broken, block.name), block.name != "Header" && block.name != "Vexc");
    }
    EXPECT_NE(good, broken);
    EXPECT_EQ(readImage(4), TestImages::erased());
    EXPECT_EQ(readImage(5), TestImages::zero());
}

TEST(SimEeprom, SeedFixesTheGeneratedImage) {
    SimScenario sc({{"cards",
                     {{{"channel", 1}, {"seed", 9}}, {{"channel", 2}, {"seed", 9}}, {{"channel", 3}, {"seed", 10}}}}});
    const auto a = readImage(1);
    EXPECT_EQ(a, readImage(2));
    EXPECT_NE(a, readImage(3));
}
