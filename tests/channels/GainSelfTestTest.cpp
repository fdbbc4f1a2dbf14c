// The gain self-test on the simulated mainframe, judged by the commands on the bus.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "BusRig.h"

namespace {

using Commands = std::vector<std::string>;

constexpr int kChannel = 5;

std::string Scenario(int mode, const std::string& faults = "")
{
    return R"({"cards":[{"channel":5,"mode":)" + std::to_string(mode) + R"(}],"faults":[)" + faults + "]}";
}

// A card that the image checks have just found good, selected, with a clean log.
struct SelfTest {
    explicit SelfTest(const std::string& scenarioJson) : rig(scenarioJson)
    {
        info.m_nAddress = kChannel;
        info.m_nStatus = StatusGood;
        EXPECT_EQ(rig.instrument.Select(kChannel), 1);
        rig.scenario->clearBusLog();
        result = info.GainSelfTest(rig.instrument);
    }
    BusRig rig;
    CChannelInfo info;
    bool result = false;
};

const std::string kAzroAt1000 = R"({"command":"SetGain","gain":1000,"kind":"error","code":16})";
const std::string kAzroAt1 = R"({"command":"SetGain","gain":1,"kind":"error","code":16})";
const std::string kNoSrqAt1000 = R"({"command":"SetGain","gain":1000,"kind":"no_srq"})";

} // namespace

TEST(GainSelfTest, ModeWithBitZeroSetSendsOnlyTheGainSteps)
{
    SelfTest t(Scenario(1));
    EXPECT_EQ(t.rig.Sent(), (Commands{"C1D?", "G 1000.00", "G 1.00"}));
    EXPECT_TRUE(t.result);
    EXPECT_EQ(t.info.m_nStatus, StatusGood);
    EXPECT_EQ(t.info.m_strError, "");
}

TEST(GainSelfTest, ModeWithBitZeroClearIsSetAndRestored)
{
    SelfTest t(Scenario(6));
    EXPECT_EQ(t.rig.Sent(), (Commands{"C1D?", "C1D7", "G 1000.00", "G 1.00", "C1D6"}));
    EXPECT_TRUE(t.result);
    EXPECT_EQ(t.info.m_nStatus, StatusGood);
    EXPECT_EQ(t.info.m_strError, "");
}

TEST(GainSelfTest, FailingRestoreIsTheResult)
{
    SelfTest t(Scenario(6, R"({"command":"SetOpMode","kind":"no_srq"})"));
    // The first SetOpMode fails too: no gain step, the restore is still sent.
    EXPECT_EQ(t.rig.Sent(), (Commands{"C1D?", "C1D7", "C1D6"}));
    EXPECT_FALSE(t.result);
    EXPECT_EQ(t.info.m_nStatus, StatusUnknown);
    EXPECT_EQ(t.info.m_strError, "gain self-test not completed: SRQ not asserted during \"SetOpMode\"");
    EXPECT_EQ(t.rig.instrument.Operation(), "SetOpMode");
}

TEST(GainSelfTest, FailingFirstSetOpModeIsStillRestored)
{
    SelfTest t(Scenario(2, R"({"command":"SetOpMode","kind":"error","code":3,"times":1})"));
    EXPECT_EQ(t.rig.Sent(), (Commands{"C1D?", "C1D3", "C1D2"}));
    EXPECT_TRUE(t.result);
    EXPECT_EQ(t.info.m_nStatus, StatusUnknown);
    EXPECT_EQ(t.info.m_strError, "gain self-test not completed: Instrument error (0x03) during \"SetOpMode\"");
}

TEST(GainSelfTest, FailingGetOpModeEndsTheTestUnjudged)
{
    const struct {
        const char* fault;
        const char* cause;
    } cases[] = {
        {R"({"command":"GetOpMode","kind":"no_srq"})", "SRQ not asserted"},
        {R"({"command":"GetOpMode","kind":"short_reply","bytes":0})", "Short reply (0 of 1 bytes)"},
        {R"({"command":"GetOpMode","kind":"error","code":16})", "Instrument error (0x10)"},
    };
    for (const auto& c : cases) {
        SelfTest t(Scenario(6, c.fault));
        EXPECT_EQ(t.rig.Sent(), (Commands{"C1D?"})) << c.fault;
        EXPECT_FALSE(t.result);
        EXPECT_EQ(t.info.m_nStatus, StatusUnknown);
        EXPECT_EQ(t.info.m_strError, std::string("gain self-test not completed: ") + c.cause + " during \"GetOpMode\"");
    }
}

TEST(GainSelfTest, AzroErrorAtEachStep)
{
    SelfTest first(Scenario(6, kAzroAt1000));
    EXPECT_EQ(first.rig.Sent(), (Commands{"C1D?", "C1D7", "G 1000.00", "C1D6"}));
    EXPECT_EQ(first.info.m_strError, "azro error during G1000");
    EXPECT_EQ(first.info.m_nStatus, StatusFail);
    EXPECT_TRUE(first.result);   // the restore's result

    SelfTest second(Scenario(6, kAzroAt1));
    EXPECT_EQ(second.rig.Sent(), (Commands{"C1D?", "C1D7", "G 1000.00", "G 1.00", "C1D6"}));
    EXPECT_EQ(second.info.m_strError, "azro error during G1");
    EXPECT_EQ(second.info.m_nStatus, StatusFail);

    SelfTest noRestore(Scenario(1, kAzroAt1000));
    EXPECT_EQ(noRestore.rig.Sent(), (Commands{"C1D?", "G 1000.00"}));
    EXPECT_EQ(noRestore.info.m_strError, "azro error during G1000");
    EXPECT_EQ(noRestore.info.m_nStatus, StatusFail);
    EXPECT_FALSE(noRestore.result);
}

TEST(GainSelfTest, InstrumentErrorShowsTheWholeStatusByte)
{
    SelfTest second(Scenario(1, R"({"command":"SetGain","gain":1,"kind":"error","stb":69})"));
    EXPECT_EQ(second.info.m_strError, "instrument error (0x45) during G1");
    EXPECT_EQ(second.info.m_nStatus, StatusFail);
    EXPECT_FALSE(second.result);
    // The connection's own text carries only the six-bit code.
    EXPECT_EQ(second.rig.instrument.ErrorText(), "Instrument error (0x05)");

    SelfTest first(Scenario(6, R"({"command":"SetGain","gain":1000,"kind":"error","stb":133})"));
    EXPECT_EQ(first.info.m_strError, "instrument error (0x85) during G1000");
    EXPECT_EQ(first.rig.Sent(), (Commands{"C1D?", "C1D7", "G 1000.00", "C1D6"}));

    // Bit 6 with code 0x10 is still the azro error.
    SelfTest azro(Scenario(1, R"({"command":"SetGain","gain":1000,"kind":"error","stb":208})"));
    EXPECT_EQ(azro.info.m_strError, "azro error during G1000");
}

TEST(GainSelfTest, BitsSixAndSevenAloneNeverFail)
{
    for (int stb : {0x40, 0x80, 0xC0}) {
        const std::string s = std::to_string(stb);
        SelfTest t(Scenario(1, R"({"command":"SetGain","kind":"error","stb":)" + s + "}"));
        EXPECT_EQ(t.rig.Sent(), (Commands{"C1D?", "G 1000.00", "G 1.00"})) << stb;
        EXPECT_TRUE(t.result);
        EXPECT_EQ(t.info.m_nStatus, StatusGood);
        EXPECT_EQ(t.info.m_strError, "");
    }
}

TEST(GainSelfTest, BusFailureAtAGainStepLeavesTheCardUnknownWithItsCause)
{
    const std::string noSrqAt1 = R"({"command":"SetGain","gain":1,"kind":"no_srq"})";
    const std::string sendErrorAt1000 = R"({"command":"SetGain","gain":1000,"kind":"send_error","iberr":6})";
    const std::string noSrq = "gain self-test not completed: SRQ not asserted during \"SetGain\"";
    const struct {
        int mode;
        std::string fault;
        Commands sent;
        bool result;
        std::string error;
    } cases[] = {
        {6, kNoSrqAt1000, {"C1D?", "C1D7", "G 1000.00", "C1D6"}, true, noSrq},
        {1, kNoSrqAt1000, {"C1D?", "G 1000.00"}, false, noSrq},
        {1, noSrqAt1, {"C1D?", "G 1000.00", "G 1.00"}, false, noSrq},
        {6, sendErrorAt1000, {"C1D?", "C1D7", "G 1000.00", "C1D6"}, true,
         "gain self-test not completed: GPIB error 6 (Send) during \"SetGain\""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fault);
        SelfTest t(Scenario(c.mode, c.fault));
        EXPECT_EQ(t.rig.Sent(), c.sent);
        EXPECT_EQ(t.result, c.result);
        EXPECT_EQ(t.info.m_nStatus, StatusUnknown);
        EXPECT_EQ(t.info.m_strError, c.error);
    }
}
