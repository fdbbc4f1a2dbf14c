// Bus-level behaviour of the driver: status variables, listeners, the
// transaction's reply, service request and serial poll.
#include <gtest/gtest.h>

#include <cerrno>

#include "GpibCodes.h"
#include "SimDriver.h"
#include "SimScenario.h"

using valdina::test::SimScenario;

namespace {
using namespace gpib;

nlohmann::json oneCard() { return {{"cards", {{{"channel", 37}, {"serial", "12345678"}}}}}; }

void expectSetsAgree(const SimDriver& d) {
    const auto lx = d.linuxStatus();
    const auto ni = d.niStatus();
    EXPECT_EQ(lx.ibsta, ni.ibsta);
    EXPECT_EQ(lx.iberr, ni.iberr);
    EXPECT_EQ(lx.count, ni.count);
}
}  // namespace

TEST(SimBus, BothStatusNameSetsCarryTheSameOutcome) {
    SimScenario sc(oneCard());
    auto& d = SimDriver::get();
    short v = 0;
    std::vector<unsigned short> found;
    d.findLstn({29}, found, 1);
    expectSetsAgree(d);
    d.send("S 37");
    expectSetsAgree(d);
    EXPECT_EQ(d.niStatus().count, 4);
    d.waitSrq(v);
    expectSetsAgree(d);
    d.readStatusByte(v);
    expectSetsAgree(d);
    d.send("Q5 7");
    d.receive(8);
    expectSetsAgree(d);
    EXPECT_EQ(d.niStatus().count, 8);
    d.receive(8);  // nothing left: an error
    expectSetsAgree(d);
    EXPECT_EQ(d.niStatus().iberr, EABO);
    d.devClear(5);
    expectSetsAgree(d);
    EXPECT_EQ(d.niStatus().iberr, ENOL);
}

TEST(SimBus, FindLstnReportsOnlyTheMainframe) {
    SimScenario sc(oneCard());
    auto& d = SimDriver::get();
    std::vector<unsigned short> found;
    auto st = d.findLstn({29}, found, 1);
    EXPECT_EQ(st.ibsta & ERR, 0);
    EXPECT_EQ(st.count, 1);
    EXPECT_EQ(found[0], 29);
    st = d.findLstn({3, 29, 30}, found, 4);
    EXPECT_EQ(st.count, 1);
    EXPECT_EQ(found[0], 29);
    st = d.findLstn({28}, found, 1);
    EXPECT_EQ(st.ibsta & ERR, 0);
    EXPECT_EQ(st.count, 0);
    EXPECT_EQ(found[0], 0xFFFF);
}

TEST(SimBus, OtherAddressesHaveNoListener) {
    SimScenario sc(oneCard());
    auto& d = SimDriver::get();
    auto st = d.send("S 37", 5);
    EXPECT_EQ(st.ibsta & ERR, ERR);
    EXPECT_EQ(st.iberr, ENOL);
    st = d.devClear(30);
    EXPECT_EQ(st.ibsta & ERR, ERR);
    EXPECT_EQ(st.iberr, ENOL);
    short v = 0;
    st = d.readStatusByte(v, 5);
    EXPECT_EQ(st.ibsta & ERR, ERR);
    EXPECT_EQ(st.iberr, EABO);
    EXPECT_EQ(d.devClear().ibsta, CMPL);
    EXPECT_EQ(d.sendIfc().ibsta, CMPL);
}

// As linux-gpib fails when it cannot open /dev/gpibN: EDVR, the system error in ibcntl.
TEST(SimBus, UnreachableBoardsFailEveryCallWithEdvrAndTheSystemError) {
    struct Case {
        const char* what;
        nlohmann::json scenario;
        int board;
        long errnum;
    };
    const Case cases[] = {
        {"another board", oneCard(), 1, ENOENT},
        {"device missing", {{"base", "default"}, {"board", "missing"}}, 0, ENOENT},
        {"device denied", {{"base", "default"}, {"board", "denied"}}, 0, EACCES},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SimScenario sc(c.scenario);
        auto& d = SimDriver::get();
        const auto st = d.sendIfc(c.board);
        EXPECT_EQ(st.ibsta, ERR);
        EXPECT_EQ(st.iberr, EDVR);
        EXPECT_EQ(st.count, c.errnum);
        expectSetsAgree(d);
        if (c.board == 0) {
            std::vector<unsigned short> found;
            EXPECT_EQ(d.findLstn({29}, found, 1).count, c.errnum);
            EXPECT_EQ(d.send("Q2").iberr, EDVR);
            EXPECT_EQ(d.send("Q2").count, c.errnum);
        }
    }
}

TEST(SimBus, AdapterWithoutListenerSensingFailsOnlyFindLstn) {
    SimScenario sc({{"cards", {{{"channel", 37}}}}, {"listener_sensing", false}});
    auto& d = SimDriver::get();
    std::vector<unsigned short> found;
    const auto st = d.findLstn({29}, found, 1);
    EXPECT_EQ(st.ibsta & ERR, ERR);
    EXPECT_EQ(st.iberr, ECAP);
    EXPECT_EQ(d.transact("S 37").stb, 0x40) << "the mainframe itself answers";
}

TEST(SimBus, ReceiveWithoutAReplyTimesOut) {
    SimScenario sc(oneCard());
    auto& d = SimDriver::get();
    auto r = d.receive(8);
    EXPECT_EQ(r.status.ibsta & (ERR | TIMO), ERR | TIMO);
    EXPECT_EQ(r.status.iberr, EABO);
    d.send("S 37");  // a command without reply
    r = d.receive(8);
    EXPECT_EQ(r.status.iberr, EABO);
    EXPECT_EQ(r.status.count, 0);
}

TEST(SimBus, ReplyMayBeReadInPiecesWithEndOnTheLastByte) {
    SimScenario sc(oneCard());
    auto& d = SimDriver::get();
    d.send("Q2");
    auto r = d.receive(30);
    EXPECT_EQ(r.status.ibsta, CMPL);
    EXPECT_EQ(r.status.count, 30);
    EXPECT_EQ(r.bytes.at(4), 0x20);  // rack 2, slot 5
    r = d.receive(30);
    EXPECT_EQ(r.status.ibsta, CMPL | END);
    EXPECT_EQ(r.bytes, (std::vector<std::uint8_t>{0x00, 0x00}));  // rack 15 is empty
    d.transact("S 37");
    d.send("Q5 7");
    r = d.receive(100);
    EXPECT_EQ(r.status.ibsta, CMPL | END);
    EXPECT_EQ(r.status.count, 8);
}

TEST(SimBus, ServiceRequestFollowsEveryCommandUntilPolled) {
    SimScenario sc(oneCard());
    auto& d = SimDriver::get();
    short srq = -1, stb = -1;
    auto st = d.waitSrq(srq);
    EXPECT_EQ(srq, 0);
    EXPECT_EQ(st.ibsta & (ERR | TIMO), TIMO);
    for (int eot : {1, 2}) {  // NI's and linux-gpib's NLend
        SCOPED_TRACE(eot);
        EXPECT_EQ(d.send("S 37", 29, eot).ibsta, CMPL);
        d.waitSrq(srq);
        EXPECT_EQ(srq, 1);
        d.waitSrq(srq);
        EXPECT_EQ(srq, 1);  // waiting does not take it down
        EXPECT_EQ(d.readStatusByte(stb).ibsta, CMPL);
        EXPECT_EQ(stb, 0x40);
        d.waitSrq(srq);
        EXPECT_EQ(srq, 0);
        d.readStatusByte(stb);
        EXPECT_EQ(stb, 0x00);  // RQS is gone once polled
    }
}

TEST(SimBus, DeviceClearDropsThePendingTransaction) {
    SimScenario sc(oneCard());
    auto& d = SimDriver::get();
    short srq = -1;
    d.send("Q2");
    EXPECT_EQ(d.devClear().ibsta, CMPL);
    EXPECT_EQ(d.receive(32).status.iberr, EABO);
    d.waitSrq(srq);
    EXPECT_EQ(srq, 0);
}

TEST(SimBus, OffBusMainframeIsNotFoundAndTakesNoCommands) {
    SimScenario sc({{"off_bus", true}, {"cards", {{{"channel", 1}}}}});
    auto& d = SimDriver::get();
    std::vector<unsigned short> found;
    auto st = d.findLstn({29}, found, 1);
    EXPECT_EQ(st.ibsta & ERR, 0);
    EXPECT_EQ(st.count, 0);
    EXPECT_EQ(found[0], 0xFFFF);
    st = d.send("Q2");
    EXPECT_EQ(st.ibsta & ERR, ERR);
    EXPECT_EQ(st.iberr, ENOL);
    EXPECT_EQ(d.devClear().iberr, ENOL);
    short v = -1;
    EXPECT_EQ(d.readStatusByte(v).iberr, EABO);
    d.waitSrq(v);
    EXPECT_EQ(v, 0);
    EXPECT_EQ(d.sendIfc().ibsta, CMPL);  // the board itself is fine
}
