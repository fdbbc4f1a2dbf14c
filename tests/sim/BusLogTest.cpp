// The bus log: exact line format, escaping, reopening on a new path, and the
// parser that other tests read it with.
#include <gtest/gtest.h>

#include <fstream>

#include "BusLog.h"
#include "SimDriver.h"
#include "SimScenario.h"

using valdina::test::BusLog;
using valdina::test::SimScenario;

namespace {
std::vector<std::string> lines(const std::string& path) {
    std::ifstream in(path);
    std::vector<std::string> out;
    for (std::string l; std::getline(in, l);) out.push_back(l);
    return out;
}
}  // namespace

TEST(SimBusLog, OneLinePerCallInTheFixedFormat) {
    SimScenario sc({{"cards", {{{"channel", 37}, {"serial", "AB"}}}}});
    auto& d = SimDriver::get();
    std::vector<unsigned short> found;
    d.sendIfc();
    d.findLstn({29}, found, 1);
    d.devClear();
    d.transact("S 37");
    d.transact("Q5 7", 8);
    d.receive(4);
    d.send("Q2", 7);
    EXPECT_EQ(lines(sc.tracePath()), (std::vector<std::string>{
                                         "SendIFC ibsta=0x0100 iberr=0",
                                         "FindLstn ibsta=0x0100 iberr=0",
                                         "DevClear addr=29 ibsta=0x0100 iberr=0",
                                         "Send addr=29 cmd=\"S 37\" ibsta=0x0100 iberr=0",
                                         "WaitSRQ cmd=\"S 37\" srq=1 ibsta=0x1100 iberr=0",
                                         "ReadStatusByte addr=29 cmd=\"S 37\" stb=0x40 ibsta=0x0100 iberr=0",
                                         "Send addr=29 cmd=\"Q5 7\" ibsta=0x0100 iberr=0",
                                         "Receive addr=29 cmd=\"Q5 7\" reply=4142 ibsta=0x2100 iberr=0",
                                         "WaitSRQ cmd=\"Q5 7\" srq=1 ibsta=0x1100 iberr=0",
                                         "ReadStatusByte addr=29 cmd=\"Q5 7\" stb=0x40 ibsta=0x0100 iberr=0",
                                         "Receive addr=29 cmd=\"Q5 7\" reply= ibsta=0xC100 iberr=6",
                                         "Send addr=7 cmd=\"Q2\" ibsta=0x8100 iberr=2",
                                     }));
}

TEST(SimBusLog, ParserReadsRecordsAndCommandsInOrder) {
    SimScenario sc({{"cards", {{{"channel", 0}, {"image", "zero"}}}}});
    auto& d = SimDriver::get();
    d.transact("S 0");
    d.transact("<000001220000", 8);
    d.transact("S 9");
    d.transact("odd \"text\"\\ \x01");
    const auto log = sc.busLog();
    EXPECT_EQ(log.commands(),
              (std::vector<std::string>{"S 0", "<000001220000", "S 9", "odd \"text\"\\ \x01"}));
    const auto receives = log.of("Receive");
    ASSERT_EQ(receives.size(), 1u);
    EXPECT_EQ(receives[0].reply, (std::vector<std::uint8_t>{0, 0, 1, 0x22, 0, 0, 0, 0}));
    const auto polls = log.of("ReadStatusByte");
    ASSERT_EQ(polls.size(), 4u);
    EXPECT_EQ(polls[2].stb, 0x42);
    EXPECT_EQ(polls[3].stb, 0x41);
    EXPECT_EQ(polls[3].addr, 29u);
    EXPECT_EQ(log.of("WaitSRQ").at(0).srq, 1);
    EXPECT_FALSE(log.records().front().failed());
}

TEST(SimBusLog, ParserRejectsLinesOutsideTheFormat) {
    for (std::string bad : {"", "Send", "Send cmd=\"S 1 ibsta=0x0100 iberr=0", "Send ibsta=256 iberr=0",
                            "Receive reply=ABC ibsta=0x0100 iberr=0", "Send addr=29 ibsta=0x0100",
                            "Send colour=red ibsta=0x0100 iberr=0"}) {
        SCOPED_TRACE(bad);
        EXPECT_THROW(BusLog::parseLine(bad), std::runtime_error);
    }
    const auto r = BusLog::parseLine("Send addr=29 cmd=\"a\\\"b\\x0A\" ibsta=0x8100 iberr=2");
    EXPECT_EQ(r.cmd, "a\"b\n");
    EXPECT_TRUE(r.failed());
    EXPECT_EQ(r.iberr, 2);
}

TEST(SimBusLog, NewTracePathIsOpenedAndTheOldOneLeftAlone) {
    SimScenario sc({{"cards", {{{"channel", 1}}}}});
    auto& d = SimDriver::get();
    d.send("S 1");
    const std::string second = sc.tracePath() + ".2";
    setenv("ZENTRA_SIM_TRACE", second.c_str(), 1);
    d.send("S 2");
    unsetenv("ZENTRA_SIM_TRACE");
    d.send("S 3");
    EXPECT_EQ(BusLog::read(sc.tracePath()).commands(), std::vector<std::string>{"S 1"});
    EXPECT_EQ(BusLog::read(second).commands(), std::vector<std::string>{"S 2"});
    std::remove(second.c_str());
}
