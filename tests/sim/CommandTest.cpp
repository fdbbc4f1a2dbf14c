// Command texts, reply layouts and instrument error codes, through the C ABI.
#include <gtest/gtest.h>

#include "SimDriver.h"
#include "SimScenario.h"

using valdina::test::SimScenario;
using Bytes = std::vector<std::uint8_t>;

namespace {

nlohmann::json threeCards() {
    return {{"cards",
             {{{"channel", 0}, {"serial", "A0000001"}, {"model", "T210"}, {"mode", 6}},
              {{"rack", 2}, {"slot", 5}, {"serial", "SN-37"}, {"model", "T213X"}},
              {{"channel", 255}, {"serial", "ZZZZZZZZ"}, {"model", "T208"}, {"mode", 1}}}}};
}

Bytes text(const std::string& s) { return Bytes(s.begin(), s.end()); }

}  // namespace

TEST(SimCommands, SelectReportsEmptySlotAndBadChannel) {
    SimScenario sc(threeCards());
    auto& d = SimDriver::get();
    for (auto [cmd, stb] : std::vector<std::pair<std::string, short>>{
             {"S 0", 0x40}, {"S 37", 0x40}, {"S 255", 0x40}, {"S 1", 0x42}, {"S 256", 0x41}, {"S -1", 0x41}}) {
        SCOPED_TRACE(cmd);
        const auto t = d.transact(cmd);
        EXPECT_TRUE(t.sent);
        EXPECT_EQ(t.srq, 1);
        EXPECT_EQ(t.stb, stb);
    }
}

TEST(SimCommands, PresenceMapHasOneBitPerCardLowByteFirst) {
    SimScenario sc(threeCards());
    const auto t = SimDriver::get().transact("Q2", 32);
    Bytes expected(32, 0);
    expected[0] = 0x01;   // rack 0 slot 0
    expected[4] = 0x20;   // rack 2 slot 5
    expected[31] = 0x80;  // rack 15 slot 15
    EXPECT_EQ(t.reply, expected);
    EXPECT_EQ(t.stb, 0x40);
}

TEST(SimCommands, SerialAndModelComeFromTheSelectedCard) {
    SimScenario sc(threeCards());
    auto& d = SimDriver::get();
    d.transact("S 37");
    EXPECT_EQ(d.transact("Q5 7", 8).reply, text("SN-37"));
    EXPECT_EQ(d.transact("Q5 6", 8).reply, text("T213X"));
    d.transact("S 255");
    EXPECT_EQ(d.transact("Q5 7", 8).reply, text("ZZZZZZZZ"));
    EXPECT_EQ(d.transact("Q5 6", 8).reply, text("T208"));
}

TEST(SimCommands, CardCommandsWithoutASelectedCardReportNoCard) {
    SimScenario sc(threeCards());
    auto& d = SimDriver::get();
    d.transact("S 0");
    d.transact("S 3");  // empty slot: nothing stays selected
    for (std::string cmd : {"Q5 7", "Q5 6", "C1D?"}) {
        SCOPED_TRACE(cmd);
        const auto t = d.transact(cmd, 8);
        EXPECT_TRUE(t.reply.empty());
        EXPECT_EQ(t.stb, 0x42);
    }
    EXPECT_EQ(d.transact("C1D3").stb, 0x42);
    EXPECT_EQ(d.transact("G 1.00").stb, 0x42);
}

TEST(SimCommands, OperatingModeIsKeptPerCard) {
    SimScenario sc(threeCards());
    auto& d = SimDriver::get();
    d.transact("S 0");
    EXPECT_EQ(d.transact("C1D?", 1).reply, Bytes{6});
    EXPECT_EQ(d.transact("C1D7").stb, 0x40);
    EXPECT_EQ(d.transact("C1D?", 1).reply, Bytes{7});
    d.transact("S 255");
    EXPECT_EQ(d.transact("C1D?", 1).reply, Bytes{1});
    EXPECT_EQ(d.transact("C1D255").stb, 0x40);
    EXPECT_EQ(d.transact("C1D?", 1).reply, Bytes{255});
    d.transact("S 0");
    EXPECT_EQ(d.transact("C1D?", 1).reply, Bytes{7});
}

TEST(SimCommands, GainAcceptsDigitsPointTwoDigits) {
    SimScenario sc(threeCards());
    auto& d = SimDriver::get();
    d.transact("S 37");
    for (std::string cmd : {"G 1000.00", "G 1.00", "G 0.50", "G 65535.99"}) {
        SCOPED_TRACE(cmd);
        EXPECT_EQ(d.transact(cmd).stb, 0x40);
    }
}

TEST(SimCommands, UnknownOrMalformedTextReportsSyntaxError) {
    SimScenario sc(threeCards());
    auto& d = SimDriver::get();
    d.transact("S 0");
    for (std::string cmd : {"", "Q3", "q2", "S", "S x", "S 1 ", "Q2\n", "C1D256", "C1D", "G", "G abc", "G 1.0x",
                            "G 1000,00", "G 1,00", "G -3.25", "G +1.00", "G 1e3", "G 1.0", "G 1.000", "G .50",
                            "G  1.00", "G 1.00 ", "G 1000",
                            "<00000120000",   // one character short
                            "<000003200000",  // two slots in the mask
                            "<000000200000",  // no slot in the mask
                            "<100001200000",  // rack 16
                            "<000001210000",  // no such access code
                            "<0000012000a0",  // lowercase hex
                            ">000001200000FF", ">000001A0000", "#000001200000"}) {
        SCOPED_TRACE("command \"" + cmd + "\"");
        const auto t = d.transact(cmd);
        EXPECT_TRUE(t.sent);
        EXPECT_EQ(t.srq, 1);
        EXPECT_EQ(t.stb, 0x41);
    }
}
