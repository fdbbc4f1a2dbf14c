// Injected faults: what each kind does to the transaction it hits, and only
// to that one.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>

#include "GpibCodes.h"
#include "SimDriver.h"
#include "SimScenario.h"

using valdina::test::SimScenario;
using nlohmann::json;

namespace {
using namespace gpib;

json withFaults(json faults) {
    return {{"cards", {{{"channel", 37}}, {{"channel", 38}}}}, {"faults", std::move(faults)}};
}
}  // namespace

TEST(SimFaults, NoSrqLeavesTheRequestDownButTheStatusReadable) {
    SimScenario sc(withFaults({{{"command", "Select"}, {"channel", 37}, {"kind", "no_srq"}}}));
    auto& d = SimDriver::get();
    auto t = d.transact("S 37");
    EXPECT_EQ(t.srq, 0);
    EXPECT_EQ(t.stb, 0x00);
    EXPECT_EQ(d.transact("S 38").srq, 1);  // another channel is unaffected
}

TEST(SimFaults, TimeoutLosesTheReply) {
    SimScenario sc(withFaults({{{"command", "QuerySN"}, {"channel", 38}, {"kind", "timeout"}}}));
    auto& d = SimDriver::get();
    d.transact("S 38");
    d.send("Q5 7");
    auto r = d.receive(8);
    EXPECT_EQ(r.status.ibsta & ERR, ERR);
    EXPECT_EQ(r.status.iberr, EABO);
    short srq = 0;
    d.waitSrq(srq);
    EXPECT_EQ(srq, 1);  // the mainframe still asks for service
    d.transact("S 37");
    EXPECT_EQ(d.transact("Q5 7", 8).reply.size(), 8u);
}

TEST(SimFaults, ShortReplyDeliversOnlySomeBytesWithEnd) {
    SimScenario sc(withFaults({{{"command", "RdEe4"}, {"channel", 37}, {"address", 8}, {"kind", "short_reply"},
                                {"bytes", 5}}}));
    auto& d = SimDriver::get();
    d.send("<020020220008");
    auto r = d.receive(8);
    EXPECT_EQ(r.status.ibsta & ERR, 0);
    EXPECT_EQ(r.status.count, 5);
    EXPECT_EQ(r.status.ibsta & 0x2000, 0x2000);
    EXPECT_EQ(d.transact("<020020220004", 8).reply.size(), 8u);  // other address
}

TEST(SimFaults, ErrorSetsTheStatusByteByCodeOrWhole) {
    SimScenario sc(withFaults({{{"command", "SetGain"}, {"channel", 37}, {"gain", 1000}, {"kind", "error"},
                                {"stb", 0x50}},
                               {{"command", "SetGain"}, {"channel", 38}, {"gain", 1}, {"kind", "error"}, {"code", 5}},
                               {{"command", "GetOpMode"}, {"kind", "error"}, {"stb", 0xC0}}}));
    auto& d = SimDriver::get();
    d.transact("S 37");
    EXPECT_EQ(d.transact("G 1000.00").stb, 0x50);
    EXPECT_EQ(d.transact("G 1.00").stb, 0x40);
    auto t = d.transact("C1D?", 1);
    EXPECT_EQ(t.stb, 0xC0);
    EXPECT_EQ(t.reply.size(), 1u);  // the command still ran
    d.transact("S 38");
    EXPECT_EQ(d.transact("G 1000.00").stb, 0x40);
    EXPECT_EQ(d.transact("G 1.00").stb, 0x45);
}

TEST(SimFaults, SendErrorFailsTheSendWithTheGivenCode) {
    SimScenario sc(withFaults({{{"command", "Select"}, {"channel", 38}, {"kind", "send_error"}, {"iberr", 6}},
                               {{"command", "QueryPresent"}, {"kind", "send_error"}, {"iberr", 14}}}));
    auto& d = SimDriver::get();
    auto st = d.send("S 38");
    EXPECT_EQ(st.ibsta & ERR, ERR);
    EXPECT_EQ(st.iberr, 6);
    short srq = 1;
    d.waitSrq(srq);
    EXPECT_EQ(srq, 0);  // the command never arrived
    EXPECT_EQ(d.send("Q2").iberr, 14);
    EXPECT_EQ(d.send("S 37").ibsta, CMPL);
}

TEST(SimFaults, SwapPutsAnotherCardInTheSlotAfterTheCommand) {
    SimScenario sc(withFaults({{{"command", "QuerySN"}, {"channel", 37}, {"kind", "swap"}, {"serial", "S2"},
                                {"model", "T213"}, {"times", 1}}}));
    auto& d = SimDriver::get();
    const auto text = [](const std::vector<std::uint8_t>& reply) { return std::string(reply.begin(), reply.end()); };
    d.transact("S 37");
    EXPECT_EQ(text(d.transact("Q5 7", 8).reply), "21000037") << "the command is answered by the card that was there";
    EXPECT_EQ(text(d.transact("Q5 7", 8).reply), "S2");
    EXPECT_EQ(text(d.transact("Q5 6", 8).reply), "T213");
    d.transact("S 38");
    EXPECT_EQ(text(d.transact("Q5 7", 8).reply), "21000038");
}

TEST(SimFaults, FlipInvertsTheAddressedByteAfterTheCommand) {
    SimScenario sc(
        withFaults({{{"command", "RdEe1"}, {"channel", 37}, {"address", 8}, {"kind", "flip"}, {"times", 1}}}));
    auto& d = SimDriver::get();
    const auto before = d.transact("<020020220008", 8).reply;
    ASSERT_EQ(before.size(), 8u);
    EXPECT_EQ(d.transact("<020020200008", 5).reply.at(4), before[4]) << "the read itself sees the old byte";
    const auto after = d.transact("<020020220008", 8).reply;
    EXPECT_EQ(after[4], std::uint8_t(before[4] ^ 0xFF));
    EXPECT_TRUE(std::equal(after.begin() + 5, after.end(), before.begin() + 5)) << "only that byte changed";
    EXPECT_EQ(d.transact("<020020200008", 5).reply.at(4), after[4]) << "once only";
}

TEST(SimFaults, TimesLimitsHowOftenAFaultHits) {
    SimScenario sc(withFaults({{{"command", "Select"}, {"kind", "no_srq"}, {"times", 2}}}));
    auto& d = SimDriver::get();
    EXPECT_EQ(d.transact("S 37").srq, 0);
    EXPECT_EQ(d.transact("S 38").srq, 0);
    EXPECT_EQ(d.transact("S 37").srq, 1);
    // "after" spares the first matching commands: the second Select of 37 is the one hit.
    SimScenario later(withFaults({{{"command", "Select"}, {"channel", 37}, {"kind", "no_srq"}, {"after", 1}}}));
    EXPECT_EQ(d.transact("S 37").srq, 1);
    EXPECT_EQ(d.transact("S 38").srq, 1);
    EXPECT_EQ(d.transact("S 37").srq, 0);
}

TEST(SimFaults, EcicOnTheFirstCallsOfFindLstnAndDevClear) {
    SimScenario sc({{"cards", json::array()}, {"ecic_find_lstn", 1}, {"ecic_dev_clear", 2}});
    auto& d = SimDriver::get();
    std::vector<unsigned short> found;
    auto st = d.findLstn({29}, found, 1);
    EXPECT_EQ(st.ibsta & ERR, ERR);
    EXPECT_EQ(st.iberr, ECIC);
    EXPECT_EQ(d.sendIfc().ibsta, CMPL);
    st = d.findLstn({29}, found, 1);
    EXPECT_EQ(st.ibsta & ERR, 0);
    EXPECT_EQ(found[0], 29);
    EXPECT_EQ(d.devClear().iberr, ECIC);
    EXPECT_EQ(d.devClear().iberr, ECIC);
    EXPECT_EQ(d.devClear().ibsta, CMPL);
}

TEST(SimFaults, StopsAnsweringAfterTheGivenNumberOfCommands) {
    SimScenario sc({{"cards", {{{"channel", 37}}}}, {"stop_answering_after", 2}});
    auto& d = SimDriver::get();
    EXPECT_EQ(d.transact("S 37").stb, 0x40);
    const auto second = d.transact("Q5 7", 8);
    EXPECT_EQ(second.reply.size(), 8u);  // the last command is served to the end
    EXPECT_EQ(second.stb, 0x40);
    auto st = d.send("S 37");
    EXPECT_EQ(st.ibsta & ERR, ERR);
    EXPECT_EQ(st.iberr, ENOL);
    std::vector<unsigned short> found;
    EXPECT_EQ(d.findLstn({29}, found, 1).count, 0);
    EXPECT_EQ(d.devClear().iberr, ENOL);
    short v = 0;
    EXPECT_EQ(d.readStatusByte(v).iberr, EABO);
}

TEST(SimFaults, LatencyDelaysEveryCommandAndCommandsStillWork) {
    // The simulator waits at least the latency per command, so the elapsed time
    // has a firm lower bound; a latency that is ignored falls short of it.
    constexpr int kLatencyUs = 15000, kCommands = 4;
    SimScenario sc({{"cards", {{{"channel", 37}}}}, {"latency_us", kLatencyUs}});
    auto& d = SimDriver::get();
    d.transact("S 37");  // loads the scenario outside the measured span
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < kCommands / 2; ++i) {
        EXPECT_EQ(d.transact("S 37").stb, 0x40);
        EXPECT_EQ(d.transact("Q5 7", 8).reply.size(), 8u);
    }
    const auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_GE(elapsed, std::chrono::microseconds(kLatencyUs * kCommands));
}
